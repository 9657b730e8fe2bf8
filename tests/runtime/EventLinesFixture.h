#pragma once
// A program folder with the built configuration database, a configuration of
// a few modules and channels with their texts, a logged-in user, and the
// reports of the error handler, for the tests of the event lines.

#include "platform/Database.h"
#include "platform/Guard.h"
#include "platform/RtError.h"
#include "program/bus/ConfigAccess.h"
#include "program/bus/EventClass.h"
#include "program/core/Config.h"
#include "program/core/ConfigClass.h"
#include "program/core/Globals.h"
#include "tests/harness/TestSupport.h"
#include "tests/support/ProgramGlobals.h"

#include <QFile>
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <memory>

// One event as the tests write them.
struct EventCase {
    const char* name;
    int panel, chnl, param, aff, num, clock;
};

class EventLinesFixture : public testing_support::ProgramGlobals {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(QFile::copy(testing_support::binFolder() + "/PLX2.cfg", database()));
        ASSERT_TRUE(Config::OpenConfigBase());
        ReplaceConfig(std::make_unique<ConfigClass>([](int) { return QString(); }));
        ConfigAccess::panel(5).setModel(1);  // K7150
        ConfigAccess::panel(5).setActive(true);
        ConfigAccess::panel(5).setActualModel(1);
        ConfigAccess::panel(9).setModel(2);  // K6200TX
        ChannelClass& ch = ConfigAccess::channel(5, 12);
        ch.setBibNum(3);
        ch.setScreenText(QStringLiteral("Pressure high"));
        ch.setPrintText(QString::fromUtf8("Pression élevée"));
        gConfig->setBiblio(3, QStringLiteral("Pump room"));
        gUserName = QStringLiteral("JDOE");
        gUserLevel = 2;
        plat::setErrorReporter([this](const QString& name, const plat::RtError& e) {
            errors << name + ":" + QString::number(e.number());
        });
    }

    static QString database() { return testing_support::programFolder() + "/PLX2.cfg"; }

    static void setLetters()
    {
        gPanelLetter = QStringLiteral("M");
        gChannelLetter = QStringLiteral("C");
    }

    // Gives a text another English wording in the database.
    static void setText(int id, const QString& english)
    {
        sqlite3* db = nullptr;
        ASSERT_EQ(sqlite3_open(QFile::encodeName(database()).constData(), &db), SQLITE_OK);
        const QByteArray sql = "UPDATE T_Language SET English = '" + english.toUtf8() + "' WHERE Id = " + QByteArray::number(id);
        EXPECT_EQ(sqlite3_exec(db, sql.constData(), nullptr, nullptr, nullptr), SQLITE_OK);
        sqlite3_close(db);
        ASSERT_TRUE(Config::OpenConfigBase());
    }

    static EventClass event(const EventCase& c)
    {
        EventClass ev;
        ev.setPanel(qint16(c.panel));
        ev.setChnl(qint16(c.chnl));
        ev.setParam(qint16(c.param));
        ev.setAff(qint16(c.aff));
        ev.setNum(c.num);
        ev.setClock(c.clock);
        ev.setGDH(plat::DateTime::fromDate(QDate(2024, 12, 10), QTime(14, 3, 5)));
        return ev;
    }

    static QByteArray readFile(const QString& path)
    {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    QStringList errors;
};
