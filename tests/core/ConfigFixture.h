#pragma once
// Shared ground of the configuration model and file tests: a configuration
// whose defaults come from a map, a fixed scramble key, the error reports
// collected, a small configuration of every kind of content, and a
// field-by-field comparison of two models.

#include "platform/Guard.h"
#include "program/core/ConfigClass.h"
#include "tests/support/ProgramGlobals.h"

#include <gtest/gtest.h>

#include <QByteArray>
#include <QString>
#include <map>
#include <memory>
#include <vector>

namespace config_test {

using Defaults = std::map<int, QString>;

inline std::unique_ptr<ConfigClass> newConfig(const Defaults& defaults = {})
{
    return std::make_unique<ConfigClass>([defaults](int key) {
        const auto it = defaults.find(key);
        return it == defaults.end() ? QString() : it->second;
    });
}

struct Report {
    QString name;
    int number;
};

class ConfigTestBase : public testing_support::ProgramGlobals {
protected:
    void SetUp() override
    {
        plat::setErrorReporter([this](const QString& name, const plat::RtError& e) {
            reports.push_back({name, e.number()});
        });
        setKey(0);
    }
    void TearDown() override
    {
        ConfigClass::setScrambleKeySource({});
        ProgramGlobals::TearDown();
    }
    static void setKey(uint8_t key)
    {
        ConfigClass::setScrambleKeySource([key] { return key; });
    }
    bool reported(const QString& name) const
    {
        for (const auto& r : reports)
            if (r.name == name)
                return true;
        return false;
    }

    std::vector<Report> reports;
};

// A few modules of different models, channels with texts and flags, mirrors,
// two users, library and instruction texts, printer strings.
inline void buildSmallConfig(ConfigClass& c)
{
    c.setBusSettings("COM2:19200,N,8,1");
    c.setPrtSettings("LPT1:");
    c.setAutoStart(true);
    c.setPrintBusResult(false);
    for (int p = 1; p <= 99; ++p)
        c.setAlarmPrioSound(p, int16_t(p % 7 + 1));
    c.setOptionScreen(1, true);
    c.setOptionScreen(2, true);
    c.setOptionHisto(0, true);
    c.setOptionHisto(4, true);
    c.setOptionKlaxon(1, true);
    c.setOptionPrinter(3, true);
    c.setUserCount(2);
    c.setUserName(1, QString::fromUtf8("Chef d'équipe"));
    c.setUserPwd(1, "4711");
    c.setUserLevel(1, 3);
    c.setUserName(2, "Operator");
    c.setUserPwd(2, " 12 ");   // spaces are part of a code
    c.setUserLevel(2, 1);
    c.setPrintMaxLen(80);
    c.setPrinterInitString(0, "\x1b@");
    c.setPrinterInitString(3, "\x1bM");
    c.setPrinterInitCode(0, "27,64");
    c.setPrinterInitCode(3, "27,77");
    c.setPrinterName("Epson LX-300");
    c.setInactivityTime(15);

    auto m1 = c.Panel(1);
    m1->setModel(1);
    m1->setTitle(QString::fromUtf8("Entrée nord"));
    m1->setTitleColor(0x00FF00);
    m1->setActive(true);
    auto ch = m1->Channel(1);
    ch->setScreenText("Door open");
    ch->setPrintText("DOOR OPEN N");
    ch->setScrAlm(true);
    ch->setPrtAlm(true);
    ch->setKlaxon(true);
    ch->setAlmPrio(5);
    ch->setReact(true);
    ch->setReactTpo(3);
    ch->setBibNum(2);
    ch->setHelpNum(1);
    ch->setTypeImp(2);
    m1->Channel(12)->setScreenText("Smoke");
    m1->Channel(12)->setHisto(false);

    auto m2 = c.Panel(2);
    m2->setModel(2);
    m2->setTitle("Hall B|West");
    m2->setActive(true);
    for (int k = 1; k <= 24; ++k) {
        m2->Channel(k)->setScreenText(QString("B-%1").arg(k));
        m2->Channel(k)->setAlmPrio(int16_t(10 + k));
    }

    auto m5 = c.Panel(5);
    m5->setModel(4);
    m5->setTitle("Pumps");
    m5->setTitleColor(255);
    m5->Channel(3)->setPrintText(QString::fromUtf8("Pompe 3 — défaut"));

    c.setBiblio(1, "Fire");
    c.setBiblio(2, "Intrusion");
    c.setBiblio(64, "Last");
    c.setConsigne(1, "Call the fire brigade, then open the gate.\r\nWait at the entrance.");
    c.setConsigne(48, "Reset the pump.");

    c.Mirrors()->Add(3, 0, 12, 7, 1);
    c.Mirrors()->Add(1, 1, 2, 24, 0);
    c.Mirrors()->Add(2, 5, 5, 0, 2);
}

// Every stored value of two models.
inline void expectSameModel(const ConfigClass& a, const ConfigClass& b)
{
    EXPECT_EQ(a.BusSettings(), b.BusSettings());
    EXPECT_EQ(a.PrtSettings(), b.PrtSettings());
    EXPECT_EQ(a.AutoStart(), b.AutoStart());
    EXPECT_EQ(a.PrintBusResult(), b.PrintBusResult());
    for (int p = 0; p <= 100; ++p)
        EXPECT_EQ(a.AlarmPrioSound(p), b.AlarmPrioSound(p)) << "priority " << p;
    for (int bit = 0; bit < 8; ++bit) {
        EXPECT_EQ(a.OptionScreen(bit), b.OptionScreen(bit));
        EXPECT_EQ(a.OptionHisto(bit), b.OptionHisto(bit));
        EXPECT_EQ(a.OptionKlaxon(bit), b.OptionKlaxon(bit));
        EXPECT_EQ(a.OptionPrinter(bit), b.OptionPrinter(bit));
    }
    ASSERT_EQ(a.UserCount(), b.UserCount());
    for (int u = 1; u <= a.UserCount(); ++u) {
        EXPECT_EQ(a.UserName(u), b.UserName(u));
        EXPECT_EQ(a.UserPwd(u), b.UserPwd(u));
        EXPECT_EQ(a.UserLevel(u), b.UserLevel(u));
    }
    EXPECT_EQ(a.PrintMaxLen(), b.PrintMaxLen());
    for (int i = 0; i < 8; ++i) {
        EXPECT_EQ(a.PrinterInitString(i), b.PrinterInitString(i));
        EXPECT_EQ(a.PrinterInitCode(i), b.PrinterInitCode(i));
    }
    EXPECT_EQ(a.PrinterName(), b.PrinterName());
    EXPECT_EQ(a.InactivityTime(), b.InactivityTime());
    for (int m = 1; m <= 64; ++m) {
        const auto pa = a.Panel(m);
        const auto pb = b.Panel(m);
        EXPECT_EQ(pa->Numero(), pb->Numero()) << "module " << m;
        EXPECT_EQ(pa->Model(), pb->Model()) << "module " << m;
        EXPECT_EQ(pa->Title(), pb->Title()) << "module " << m;
        EXPECT_EQ(pa->TitleColor(), pb->TitleColor()) << "module " << m;
        EXPECT_EQ(pa->Active(), pb->Active()) << "module " << m;
        for (int k = 1; k <= 24; ++k) {
            const auto ca = pa->Channel(k);
            const auto cb = pb->Channel(k);
            SCOPED_TRACE(testing::Message() << "module " << m << " channel " << k);
            EXPECT_EQ(ca->ScreenText(), cb->ScreenText());
            EXPECT_EQ(ca->PrintText(), cb->PrintText());
            EXPECT_EQ(ca->HelpNum(), cb->HelpNum());
            EXPECT_EQ(ca->BibNum(), cb->BibNum());
            EXPECT_EQ(ca->ScrAlm(), cb->ScrAlm());
            EXPECT_EQ(ca->PrtAlm(), cb->PrtAlm());
            EXPECT_EQ(ca->Histo(), cb->Histo());
            EXPECT_EQ(ca->Klaxon(), cb->Klaxon());
            EXPECT_EQ(ca->AlmPrio(), cb->AlmPrio());
            EXPECT_EQ(ca->React(), cb->React());
            EXPECT_EQ(ca->ReactTpo(), cb->ReactTpo());
            EXPECT_EQ(ca->TypeImp(), cb->TypeImp());
        }
    }
    for (int i = 1; i <= 64; ++i)
        EXPECT_EQ(a.Biblio(i), b.Biblio(i)) << "library text " << i;
    for (int i = 1; i <= 48; ++i)
        EXPECT_EQ(a.Consigne(i), b.Consigne(i)) << "instruction text " << i;
    ASSERT_EQ(a.Mirrors()->Count(), b.Mirrors()->Count());
    for (int i = 1; i <= a.Mirrors()->Count(); ++i) {
        EXPECT_EQ(a.Mirrors()->Item(i)->ID(), b.Mirrors()->Item(i)->ID());
        EXPECT_EQ(a.Mirrors()->Item(i)->MirrorType(), b.Mirrors()->Item(i)->MirrorType());
    }
}

} // namespace config_test
