// The trace log lines of events and of dropped commands, byte for byte, with
// the prefix letters empty (before the main window has loaded) and set.

#include "program/runtime/HistoProcs.h"

#include "VexLib22/_LogFileClass.h"
#include "program/bus/CommandClass.h"
#include "program/bus/CommandClasses.h"
#include "program/bus/CommandExecutor.h"
#include "program/bus/TraceRecord.h"
#include "tests/runtime/EventLinesFixture.h"
#include "tests/support/RecordingLog.h"

namespace {

// Every kind of event that leaves a trace line, numbered 42 on.
const EventCase kEvents[] = {
    {"channel alarm", 5, 12, 0, 1, 42, 123456},
    {"acknowledged at the module", 5, 12, 1, 1, 43, 123460},
    {"cable fault", 5, 12, 0, 2, 44, 123470},
    {"module-wide clear", 5, 0, 0, 3, 45, 5},
    {"module appears", 9, 255, 1, 1, 46, 0},
    {"module disappears", 9, 255, 1, 0, 47, 0},
    {"program start", 0, 254, 0, 1, 48, 0},
    {"program stop", 0, 254, 0, 2, 49, 0},
    {"user level change", 0, 254, 0, 3, 50, 0},
    {"polling start", 0, 254, 0, 4, 51, 0},
    {"polling stop", 0, 254, 0, 5, 52, 0},
    {"operator acknowledgement", 5, 254, 0, 0, 53, 0},
    {"synchronisation", 5, 12, 0, 1, 54, -1},
};

const char* const kWithLetters[] = {
    "10/12/2024 14:03:05 000042 0123456 050C0001 M05-C12 Signal ACTIVE Pump room                  Pressure high",
    "10/12/2024 14:03:05 000043 0123460 050C0101 M05-C12 Alarm  ACKLGD Pump room                  Pressure high",
    "10/12/2024 14:03:05 000044 0123470 050C0002 M05-C12 Signal CABLE  Pump room                  Pressure high",
    "10/12/2024 14:03:05 000045 0000005 05000003 M05-ACK Signal CLEAR",
    "10/12/2024 14:03:05 000046         09FF0101 M09-K62 Alarm  APPEAR ************************** ***************************************",
    "10/12/2024 14:03:05 000047         09FF0100 M09-K62 Alarm  DISAPP ************************** ***************************************",
    "10/12/2024 14:03:05 000048         ******** SYSTEM  APPLI  START  ************************** ***************************************",
    "10/12/2024 14:03:05 000049         ******** SYSTEM  APPLI  STOP   ************************** ***************************************",
    "10/12/2024 14:03:05 000050         00FE0003 SYSTEM  USER   CHANGE JDOE                       LEVEL 2",
    "10/12/2024 14:03:05 000051         00FE0004 SYSTEM  COMM   START  ************************** ***************************************",
    "10/12/2024 14:03:05 000052         00FE0005 SYSTEM  COMM   STOP   ************************** ***************************************",
    "10/12/2024 14:03:05 000053         05FE0000 M05-K71 USER   ACK PC JDOE                       ***************************************",
    "10/12/2024 14:03:05 000054 SYNCHRO 050C0001 M05-C12 Signal ACTIVE Pump room                  Pressure high",
};

const char* const kWithoutLetters[] = {
    "10/12/2024 14:03:05 000042 0123456 050C0001 05-12   Signal ACTIVE Pump room                  Pressure high",
    "10/12/2024 14:03:05 000043 0123460 050C0101 05-12   Alarm  ACKLGD Pump room                  Pressure high",
    "10/12/2024 14:03:05 000044 0123470 050C0002 05-12   Signal CABLE  Pump room                  Pressure high",
    "10/12/2024 14:03:05 000045 0000005 05000003 05-ACK  Signal CLEAR",
    "10/12/2024 14:03:05 000046         09FF0101 09-K620 Alarm  APPEAR ************************** ***************************************",
    "10/12/2024 14:03:05 000047         09FF0100 09-K620 Alarm  DISAPP ************************** ***************************************",
    "10/12/2024 14:03:05 000048         ******** SYSTEM  APPLI  START  ************************** ***************************************",
    "10/12/2024 14:03:05 000049         ******** SYSTEM  APPLI  STOP   ************************** ***************************************",
    "10/12/2024 14:03:05 000050         00FE0003 SYSTEM  USER   CHANGE JDOE                       LEVEL 2",
    "10/12/2024 14:03:05 000051         00FE0004 SYSTEM  COMM   START  ************************** ***************************************",
    "10/12/2024 14:03:05 000052         00FE0005 SYSTEM  COMM   STOP   ************************** ***************************************",
    "10/12/2024 14:03:05 000053         05FE0000 05-K715 USER   ACK PC JDOE                       ***************************************",
    "10/12/2024 14:03:05 000054 SYNCHRO 050C0001 05-12   Signal ACTIVE Pump room                  Pressure high",
};

class TraceLines : public EventLinesFixture {
protected:
    void SetUp() override
    {
        EventLinesFixture::SetUp();
        logPath = testing_support::programFolder() + "/trace.log";
        gTraceLog().OpenFile(logPath, VexLib22::eLogModeFileAppend);
    }
    void TearDown() override
    {
        gTraceLog().CloseFile();
        EventLinesFixture::TearDown();
    }

    void expectLines(const char* const* expected)
    {
        for (size_t i = 0; i < std::size(kEvents); ++i) {
            const QString record = HistoProcs::FormateTrace(event(kEvents[i]));
            EXPECT_EQ(record.size(), TraceRecord::Length) << kEvents[i].name;
            EXPECT_EQ(record.trimmed(), QString::fromLatin1(expected[i])) << kEvents[i].name;
        }
        EXPECT_TRUE(errors.isEmpty()) << errors.join(", ").toStdString();
    }

    QString logPath;
};

TEST_F(TraceLines, EveryEventKindBeforeThePrefixLettersAreSet)
{
    expectLines(kWithoutLetters);
}

TEST_F(TraceLines, EveryEventKindWithThePrefixLetters)
{
    setLetters();
    expectLines(kWithLetters);
}

TEST_F(TraceLines, NumberFillsSixDigits)
{
    EventClass ev = event(kEvents[0]);
    ev.setNum(999999);
    EXPECT_EQ(HistoProcs::FormateTrace(ev).mid(20, 6), "999999");
}

// A code with no word is written as its number: the line is never lost and no
// error is reported in the middle of dispatch.
TEST_F(TraceLines, CodeWithoutWordIsWrittenAsItsNumber)
{
    struct Case {
        int chnl, param, aff;
        const char* state;
    } const cases[] = {
        {12, 0, 5, "5"}, {12, 0, 15, "15"}, {12, 0, 255, "255"}, {12, 2, 1, "1"},
        {0, 0, 4, "4"},  {0, 0, 0, "ACK???"}, {0, 0, 1, "ACK KL"}, {0, 0, 2, "ACK CL"},
        {12, 1, 0, "NORMAL"}, {12, 1, 3, "1stFLT"}, {12, 1, 4, "2ndFLT"}, {12, 5, 2, "CABLE"},
        {12, 0, 300, "300"}, {12, 0, -1, "-1"},
    };
    for (const Case& c : cases) {
        EventClass ev = event(kEvents[0]);
        ev.setChnl(qint16(c.chnl));
        ev.setParam(qint16(c.param));
        ev.setAff(qint16(c.aff));
        const QString record = HistoProcs::FormateTrace(ev);
        ASSERT_EQ(record.size(), TraceRecord::Length) << c.chnl << "/" << c.param << "/" << c.aff;
        EXPECT_EQ(record.mid(59, 6).trimmed(), c.state) << c.chnl << "/" << c.param << "/" << c.aff;
    }
    // A state word beyond a byte (models 4 and 5) keeps an identifier that
    // names its module and channel.
    EventClass word = event(kEvents[0]);
    word.setAff(300);
    EXPECT_EQ(HistoProcs::FormateTrace(word).mid(35, 8), "050C002C");
    EXPECT_TRUE(errors.isEmpty()) << errors.join(", ").toStdString();
}

TEST_F(TraceLines, ChannelsAbove24KeepOnlyDateNumberAndId)
{
    EventClass ev = event(kEvents[0]);
    ev.setChnl(25);
    EXPECT_EQ(HistoProcs::FormateTrace(ev).trimmed(), "10/12/2024 14:03:05 000042         05190001");
}

TEST_F(TraceLines, ModuleOutsideTheBusIsReportedOnceAndGivesNothing)
{
    EventClass ev = event(kEvents[0]);
    ev.setPanel(70);
    EXPECT_EQ(HistoProcs::FormateTrace(ev), QString());
    EXPECT_EQ(errors, QStringList{"HistoProcs.FormateTrace:9"});
}

// An acknowledgement that names no module still gets its line.
TEST_F(TraceLines, AcknowledgementOfNoModuleIsWritten)
{
    EventClass ev = event(kEvents[11]);
    ev.setPanel(0);
    const QString record = HistoProcs::FormateTrace(ev);
    ASSERT_EQ(record.size(), TraceRecord::Length);
    EXPECT_EQ(record.mid(59, 6), "ACK PC");
    EXPECT_TRUE(errors.isEmpty()) << errors.join(", ").toStdString();
}

// A library text that was never assigned is held as NULs; the log gets blanks.
TEST_F(TraceLines, UnassignedLibraryTextIsWrittenAsBlanks)
{
    gConfig->setBiblio(4, QString(24, QChar(0)));
    ConfigAccess::channel(5, 12).setBibNum(4);
    const QString record = HistoProcs::FormateTrace(event(kEvents[0]));
    EXPECT_FALSE(record.contains(QChar(0)));
    EXPECT_EQ(record.mid(66, 27), QString(27, ' '));
    gTraceLog().Comment(record.trimmed());
    gTraceLog().FlushFile();
    EXPECT_FALSE(readFile(logPath).contains('\0'));
}

TEST_F(TraceLines, DroppedCommandLine)
{
    gPanelLetter = QStringLiteral("M");
    CommandClass cmd;
    cmd.setModule(5);
    cmd.setCmdType(CommandClass::CmdWrite);
    cmd.setAddress(67);
    cmd.ValuesCopy({2, 3});
    cmd.setSendTime(plat::DateTime::fromDate(QDate(2024, 12, 10), QTime(14, 3, 5)));
    HistoProcs::TraceWriteError(cmd);

    cmd.setCmdType(CommandClass::CmdRead);
    cmd.setModule(0);
    HistoProcs::TraceWriteError(cmd);
    cmd.setCmdType(CommandClass::CmdDone);
    HistoProcs::TraceWriteError(cmd);
    gPanelLetter.clear();
    cmd.setCmdType(7);
    HistoProcs::TraceWriteError(cmd);
    cmd.ValuesCopy(QVector<qint16>(30, 0x0ABC));
    HistoProcs::TraceWriteError(cmd);

    const QByteArray expected = "10/12/2024 14:03:05 WRITE  ERROR   M05:0043 00020003\r\n"
                                "10/12/2024 14:03:05 READ ERROR   M00:0043 00020003\r\n"
                                "10/12/2024 14:03:05 CMD??? ERROR   M00:0043 00020003\r\n"
                                "10/12/2024 14:03:05  ERROR   00:0043 00020003\r\n"
                                "10/12/2024 14:03:05  ERROR   00:0043 0ABC0ABC0ABC0ABC0ABC0ABC0ABC0ABC0ABC0ABC0AB\r\n";
    EXPECT_EQ(readFile(logPath), expected);
    EXPECT_TRUE(errors.isEmpty());
}

// The executor's log is the engine's: a test or a second engine with a log of
// its own finds the line of a command given up there, not in the day's log.
TEST_F(TraceLines, DroppedCommandLineGoesToTheLogOfTheCommandsExecutor)
{
    gPanelLetter = QStringLiteral("M");
    auto* own = new testing_support::RecordingLog;
    CommandExecutor exec;
    exec.setRules(&HistoProcs::Rules());
    exec.setTraceLog(own);
    exec.setNow([] { return plat::DateTime::fromDate(QDate(2024, 12, 10), QTime(14, 3, 5)); });
    CommandClasses queue;
    auto cmd = std::make_shared<CommandClass>();
    cmd->setModule(5);
    cmd->setCmdType(CommandClass::CmdWrite);
    cmd->setAddress(67);
    cmd->setValue(0, 2);
    queue.Add(cmd);
    // No port: every attempt fails (reported), the third gives it up.
    for (int tick = 0; tick < 3; ++tick)
        exec.RunQueue(queue);
    EXPECT_EQ(queue.Count(), 0);
    EXPECT_EQ(own->lines, QStringList{"10/12/2024 14:03:05 WRITE  ERROR   M05:0043 0002"});
    EXPECT_TRUE(readFile(logPath).isEmpty());
    own->Release();
}

} // namespace
