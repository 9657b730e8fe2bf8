// The printer port test of the configuration services, on a printer that
// records what it is asked: no printer counts as a working one, a port that
// does not open is said once with the printer's reason.

#include "program/core/Config.h"

#include "platform/Database.h"
#include "platform/Forms.h"
#include "platform/Guard.h"
#include "platform/RtError.h"
#include "program/core/CoreForms.h"
#include "program/core/EnginePrinter.h"
#include "program/core/ErrorHandling.h"
#include "program/core/dlgMessage.h"
#include "program/core/Globals.h"
#include "tests/harness/TestSupport.h"
#include "tests/support/ModalAnswers.h"
#include "tests/support/ProgramGlobals.h"

#include <QFile>
#include <gtest/gtest.h>

#include <memory>

namespace {

class RecordingPrinter : public EnginePrinter {
public:
    bool AddLF() const override { return false; }
    void setAddLF(bool) override {}
    QString Settings() const override { return settings; }
    void setSettings(const QString& s) override { settings = s; }
    qint32 Handle() const override { return open ? 7 : 0; }
    QString Port() const override { return port; }
    void setPort(const QString& p) override
    {
        if (!p.isEmpty() && !p.startsWith("LPT") && !p.startsWith("COM"))
            plat::raise(plat::rt::InvalidPropertyValue);
        port = p;
    }
    QString OpenPrinter(const QString& p, const QString& s, bool closeAfter) override
    {
        calls << QString("open '%1' '%2' %3").arg(p, s).arg(closeAfter);
        open = openError.isEmpty();
        return openError;
    }
    void ClosePrinter() override
    {
        calls << "close";
        open = false;
    }
    QString PrintString(const QString&) override { return {}; }
    QString PrintData(const QByteArray&) override { return {}; }
    QString PrintLine(const QString&) override { return {}; }
    QString AnsiToOem(const QString& text) const override { return text; }

    QString port;
    QString settings = "9600,N,8,1";
    QString openError;
    bool open = false;
    QStringList calls;
};

class PrinterPortCheck : public testing_support::ProgramGlobals {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(QFile::copy(testing_support::binFolder() + "/PLX2.cfg", testing_support::programFolder() + "/PLX2.cfg"));
        ASSERT_TRUE(Config::OpenConfigBase());
        CoreForms::registerForms();
        plat::setErrorReporter([this](const QString& name, const plat::RtError& e) {
            reports << QString("%1 %2").arg(name).arg(e.number());
        });
        EnginePrinter::setFactory([this] {
            last = std::make_shared<RecordingPrinter>();
            last->openError = openError;
            ++made;
            return last;
        });
    }
    QString openError;
    std::shared_ptr<RecordingPrinter> last;
    int made = 0;
    QStringList reports;
};

TEST_F(PrinterPortCheck, NoPrinterIsAWorkingOneAndNothingIsOpened)
{
    testing_support::ModalAnswers boxes;
    EXPECT_TRUE(Config::TestPrintPort(QString()));
    EXPECT_TRUE(Config::TestPrintPort(QStringLiteral(":9600,N,8,1")));
    EXPECT_EQ(made, 0);
    EXPECT_TRUE(boxes.unexpected.isEmpty()) << boxes.unexpected.join("; ").toStdString();
    EXPECT_TRUE(reports.isEmpty());
}

TEST_F(PrinterPortCheck, APortThatOpensIsClosedAgainAndWorks)
{
    struct Case {
        const char* text;
        const char* port;
        const char* settings;
    } const cases[] = {
        {"LPT1:", "LPT1", ""},
        {"LPT2", "LPT2", "9600,N,8,1"},  // no second part: the settings stay
        {"COM2:9600,E,7,2", "COM2", "9600,E,7,2"},
    };
    testing_support::ModalAnswers boxes;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_TRUE(Config::TestPrintPort(QString::fromLatin1(c.text)));
        ASSERT_TRUE(last);
        EXPECT_EQ(last->port, c.port);
        EXPECT_EQ(last->settings, c.settings);
        // Opened with its own port and settings, closing after each line.
        EXPECT_EQ(last->calls, (QStringList{"open '' '' 1", "close"}));
    }
    EXPECT_TRUE(boxes.unexpected.isEmpty()) << boxes.unexpected.join("; ").toStdString();
    EXPECT_TRUE(reports.isEmpty());
}

TEST_F(PrinterPortCheck, APortThatDoesNotOpenIsSaidOnceWithThePrintersReason)
{
    openError = QStringLiteral("No such device or address");
    testing_support::ModalAnswers boxes;
    boxes.message(MsgResult::vbOK);
    EXPECT_FALSE(Config::TestPrintPort(QStringLiteral("LPT3:")));
    EXPECT_TRUE(boxes.unexpected.isEmpty()) << boxes.unexpected.join("; ").toStdString();
    ASSERT_EQ(boxes.messages.size(), 1);
    EXPECT_EQ(boxes.messages[0], "The printer port cannot be opened:\nNo such device or address");
    EXPECT_EQ(last->calls, (QStringList{"open '' '' 1", "close"}));
    EXPECT_TRUE(reports.isEmpty());
}

TEST_F(PrinterPortCheck, AnUnattendedCheckSaysSoWithoutWaitingForAnAnswer)
{
    openError = QStringLiteral("No such device or address");
    testing_support::ModalAnswers boxes;
    {
        const ErrorHandling::Unattended unattended;
        EXPECT_FALSE(Config::TestPrintPort(QStringLiteral("LPT3:")));
    }
    EXPECT_TRUE(boxes.unexpected.isEmpty()) << boxes.unexpected.join("; ").toStdString();
    QStringList shown;
    for (plat::Form* f : plat::Forms::All())
        if (auto* box = qobject_cast<dlgMessage*>(f); box && box->isVisible() && !box->IsModal())
            shown << box->txtMessage->toPlainText();
    EXPECT_EQ(shown, QStringList{"The printer port cannot be opened:\nNo such device or address"});
    EXPECT_TRUE(reports.isEmpty());
}

TEST_F(PrinterPortCheck, WhatCannotBeTriedIsReportedAndAnswersFalse)
{
    testing_support::ModalAnswers boxes;
    EXPECT_FALSE(Config::TestPrintPort(QStringLiteral("USB1:9600,N,8,1")));
    EXPECT_EQ(reports, QStringList{"Config.TestPrintPort 380"});
    EnginePrinter::setFactory({});
    EXPECT_FALSE(Config::TestPrintPort(QStringLiteral("LPT1:")));
    EXPECT_EQ(reports, (QStringList{"Config.TestPrintPort 380", "Config.TestPrintPort 91"}));
    EXPECT_TRUE(boxes.unexpected.isEmpty()) << boxes.unexpected.join("; ").toStdString();
}

// The engine keeps a printer that is only absent, not one whose settings
// cannot be tried: the try tells them apart.
TEST_F(PrinterPortCheck, ATryTellsAPortThatDoesNotOpenFromSettingsThatCannotBeTried)
{
    using R = Config::PrintPortTest;
    struct Case {
        const char* text;
        const char* openError;
        R result;
    } const cases[] = {
        {"", "", R::Opens},
        {"LPT1:", "", R::Opens},
        {"LPT3:", "No such device or address", R::DoesNotOpen},
        {"USB1:9600,N,8,1", "", R::Refused},
    };
    testing_support::ModalAnswers boxes;
    const ErrorHandling::Unattended unattended;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        openError = QString::fromLatin1(c.openError);
        EXPECT_EQ(Config::TryPrintPort(QString::fromLatin1(c.text)), c.result);
    }
    EXPECT_EQ(reports, QStringList{"Config.TestPrintPort 380"});
    EXPECT_TRUE(boxes.unexpected.isEmpty()) << boxes.unexpected.join("; ").toStdString();
}

} // namespace
