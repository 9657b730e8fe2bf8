// The history files: every family of entry byte for byte against a golden
// file, the screen form and its round trip, the file of the day of writing,
// and appends that fail without leaving half a line.

#include "program/runtime/HistoProcs.h"

#include "program/bus/DispatchSeams.h"
#include "program/bus/EventDispatcher.h"
#include "program/core/IniKeys.h"
#include "program/core/VEXfonctions.h"
#include "program/runtime/HistoFile.h"
#include "program/runtime/HistoFileRecord.h"
#include "program/runtime/HistoScreenRecord.h"
#include "tests/runtime/EventLinesFixture.h"
#include "tests/runtime/GoldenFile.h"

#include <QDir>
#include <QFile>

#include <csignal>
#include <sys/resource.h>

namespace {

const EventCase kEntries[] = {
    {"channel alarm", 5, 12, 0, 1, 42, 123456},
    {"acknowledged at the module", 5, 12, 1, 1, 43, 123460},
    {"cable fault", 5, 12, 0, 2, 44, 123470},
    {"module-wide, other acknowledgement", 5, 0, 0, 0, 45, 5},
    {"module-wide, horn acknowledged", 5, 0, 0, 1, 46, 5},
    {"module-wide, module acknowledged", 5, 0, 0, 2, 47, 5},
    {"module-wide clear", 5, 0, 0, 3, 48, 5},
    {"module appears", 9, 255, 1, 1, 49, 0},
    {"module disappears", 9, 255, 1, 0, 50, 0},
    {"operator acknowledgement", 5, 254, 0, 0, 51, 0},
    {"program start", 0, 254, 0, 1, 52, 0},
    {"program stop", 0, 254, 0, 2, 53, 0},
    {"user level change", 0, 254, 0, 3, 54, 0},
    {"polling start", 0, 254, 0, 4, 55, 0},
    {"polling stop", 0, 254, 0, 5, 56, 0},
    {"daily state", 5, 254, 0, 6, 57, 0},
    {"daily state of a module that does not answer", 9, 254, 0, 6, 58, 0},
    {"daily state of a module not polled", 7, 254, 0, 6, 59, 0},
    {"synchronisation", 5, 12, 0, 1, 60, -1},
    {"channel 30", 5, 30, 0, 1, 61, 0},
    {"a six-digit number", 5, 12, 0, 1, 123456, 7},
};

class HistoryFile : public EventLinesFixture {
protected:
    void SetUp() override
    {
        EventLinesFixture::SetUp();
        ConfigAccess::panel(7).setModel(3);  // K7100, answering, not polled
        ConfigAccess::panel(7).setActualModel(3);
        const int states[] = {0, 1, 0, 2};
        for (int c = 1; c <= 4; ++c)
            ConfigAccess::channel(5, c).setState(states[c - 1]);
        HistoProcs::setHistoClock([this] { return now; });
    }
    void TearDown() override
    {
        HistoProcs::setHistoClock({});
        ::setrlimit(RLIMIT_FSIZE, &m_noLimit);
        EventLinesFixture::TearDown();
    }

    static QString file(const char* name) { return testing_support::programFolder() + "/" + name; }

    // Files may grow by only this much from now on.
    void limitGrowth(const QString& path, qint64 bytes)
    {
        ::signal(SIGXFSZ, SIG_IGN);
        ::getrlimit(RLIMIT_FSIZE, &m_noLimit);
        rlimit limit = m_noLimit;
        limit.rlim_cur = rlim_t(QFileInfo(path).size() + bytes);
        ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &limit), 0);
    }
    void liftLimit() { ::setrlimit(RLIMIT_FSIZE, &m_noLimit); }

    plat::DateTime now = plat::DateTime::fromDate(QDate(2024, 12, 10), QTime(23, 59, 59));

private:
    rlimit m_noLimit {RLIM_INFINITY, RLIM_INFINITY};
};

TEST_F(HistoryFile, EveryFamilyOfEntryAsTheGoldenFileHoldsIt)
{
    for (bool letters : {false, true}) {
        if (letters)
            setLetters();
        for (const EventCase& c : kEntries)
            HistoProcs::HistoEvent(event(c));
    }
    EXPECT_TRUE(errors.isEmpty()) << errors.join(", ").toStdString();
    EXPECT_EQ(QDir(testing_support::programFolder()).entryList({"*.his"}), QStringList{"Histo202412.his"});
    expectGolden(readFile(file("Histo202412.his")), "Histo202412.his", true);
}

TEST_F(HistoryFile, TheNumberHasSevenDigitsOnTheScreenSixInTheFileAndReadsBackLeftAligned)
{
    EventClass ev = event(kEntries[0]);
    ev.setNum(123456);
    const QString screen = HistoProcs::FormateHistoScreen(ev);
    ASSERT_EQ(screen.size(), HistoScreenRecord::Length);
    EXPECT_EQ(screen.left(7), "0123456");
    EXPECT_EQ(screen.mid(HistoScreenRecord::LineBreakPos, 2), "\r\n");
    const QString fileLine = HistoProcs::HistoScreenLineToHistoFileLine(screen);
    ASSERT_EQ(fileLine.size(), HistoFileRecord::Length);
    EXPECT_EQ(fileLine.mid(20, 6), "123456");
    const QString back = HistoProcs::HistoFileLineToHistoScreenLine(fileLine);
    ASSERT_EQ(back.size(), HistoScreenRecord::Length);
    EXPECT_EQ(back.left(7), "123456 ");
    EXPECT_EQ(back.mid(HistoScreenRecord::LineBreakPos, 2), "  ");
}

// Read back and written again, every record is the same; every field of the
// screen form but the number comes back as it was.
TEST_F(HistoryFile, RecordsSurviveTheRoundTripThroughTheScreenForm)
{
    setLetters();
    for (const EventCase& c : kEntries) {
        SCOPED_TRACE(c.name);
        const QString screen = HistoProcs::FormateHistoScreen(event(c));
        const QString fileLine = HistoProcs::HistoScreenLineToHistoFileLine(screen);
        const QString back = HistoProcs::HistoFileLineToHistoScreenLine(fileLine);
        EXPECT_EQ(HistoProcs::HistoScreenLineToHistoFileLine(back), fileLine);
        EXPECT_EQ(back.mid(11, 69), screen.mid(11, 69));
        EXPECT_EQ(back.mid(82), screen.mid(82));
    }
    // Short lines are read as if padded with blanks.
    EXPECT_EQ(HistoProcs::HistoFileLineToHistoScreenLine("10/12/2024").left(63).trimmed(), "10/12/2024");
    EXPECT_EQ(HistoProcs::HistoScreenLineToHistoFileLine(QString()), QString(HistoFileRecord::Length, ' '));
    EXPECT_TRUE(errors.isEmpty()) << errors.join(", ").toStdString();
}

TEST_F(HistoryFile, DailyEntriesEitherSideOfMidnightGoToTwoFilesEachWithItsTitle)
{
    VEXfonctions::SetIni(IniKeys::Files, IniKeys::PeriodUnit, "1");
    now = plat::DateTime::fromDate(QDate(2024, 12, 31), QTime(23, 59, 59));
    HistoProcs::HistoEvent(event(kEntries[0]));
    now = plat::DateTime::fromDate(QDate(2025, 1, 1), QTime(0, 0, 1));
    HistoProcs::HistoEvent(event(kEntries[1]));
    HistoProcs::HistoEvent(event(kEntries[2]));
    // Named by the date of writing, not by the event's.
    const QStringList before = testing_support::fileLines(file("Histo20241231.his"));
    const QStringList after = testing_support::fileLines(file("Histo20250101.his"));
    ASSERT_EQ(before.size(), 2);
    ASSERT_EQ(after.size(), 3);
    EXPECT_EQ(before[0], HistoFileRecord::Title());
    EXPECT_EQ(after[0], HistoFileRecord::Title());
    EXPECT_EQ(before[1].mid(20, 6), "000042");
    EXPECT_EQ(after[2].mid(20, 6), "000044");

    // Back to monthly files: the next entry goes to the month's file.
    VEXfonctions::SetIni(IniKeys::Files, IniKeys::PeriodUnit, "0");
    HistoProcs::HistoEvent(event(kEntries[3]));
    EXPECT_EQ(testing_support::fileLines(file("Histo202501.his")).size(), 2);
    EXPECT_TRUE(errors.isEmpty()) << errors.join(", ").toStdString();
}

TEST_F(HistoryFile, TheTitleHoldsEachTitleInItsField)
{
    const QString title = HistoFileRecord::Title();
    ASSERT_EQ(title.size(), HistoFileRecord::Length);
    const QChar nbsp(0xA0);
    EXPECT_EQ(title, QString("Date       Time     Evt%1No PnlCnt  Origin  Parameter   Display         Common%1text").arg(nbsp)
                         .leftJustified(98) + QString("Specific%1text").arg(nbsp).leftJustified(40));
}

// A text holding "|" (a line break when it is not looked up raw) leaves its
// field as blanks, so the record stays one line; a code that has no word is
// written as its number.
TEST_F(HistoryFile, EveryEntryIsOneLineWhateverItsTexts)
{
    setText(51047, "Daily|state");
    setText(51000, "Sig|nal");
    const EventCase cases[] = {
        {"daily state", 5, 254, 0, 6, 70, 0},
        {"a signal", 5, 12, 0, 2, 71, 0},
        {"code 1 with a parameter past the two words", 5, 12, 2, 1, 72, 0},
        {"a channel code past the channel words", 5, 12, 0, 12, 73, 0},
        {"a parameter past the parameter words", 5, 12, 10, 2, 74, 0},
        {"a module-wide code without a text", 5, 0, 0, 5, 75, 0},
    };
    for (const EventCase& c : cases)
        HistoProcs::HistoEvent(event(c));
    const QStringList lines = testing_support::fileLines(file("Histo202412.his"));
    ASSERT_EQ(lines.size(), 1 + int(std::size(cases)));
    auto display = [&](int i) { return lines[i + 1].mid(55, 15).trimmed(); };
    auto parameter = [&](int i) { return lines[i + 1].mid(43, 11).trimmed(); };
    EXPECT_EQ(display(0), "Daily  state");
    EXPECT_EQ(parameter(1), "Sig  nal");
    EXPECT_EQ(display(2), "1");
    EXPECT_EQ(display(3), "12");
    EXPECT_EQ(parameter(4), "10");
    EXPECT_EQ(display(5), "#51025#");
    for (const QString& l : lines)
        EXPECT_EQ(l.size(), HistoFileRecord::Length);
    EXPECT_TRUE(errors.isEmpty()) << errors.join(", ").toStdString();
}

TEST_F(HistoryFile, AFailedAppendLeavesTheFileAsItWasAndIsReportedOncePerCause)
{
    const QString path = file("Histo202412.his");
    HistoProcs::HistoEvent(event(kEntries[0]));
    const QByteArray before = readFile(path);
    ASSERT_FALSE(before.isEmpty());

    // Room for half a record: the half written is cut off again.
    limitGrowth(path, HistoFileRecord::Length / 2);
    HistoProcs::HistoEvent(event(kEntries[1]));
    HistoProcs::HistoEvent(event(kEntries[2]));
    liftLimit();
    EXPECT_EQ(readFile(path), before);
    ASSERT_EQ(errors.size(), 1) << errors.join(", ").toStdString();
    EXPECT_TRUE(errors[0].startsWith("HistoProcs.HistoEvent:")) << errors[0].toStdString();

    // Once an append works again, the next failure is told again.
    HistoProcs::HistoEvent(event(kEntries[3]));
    EXPECT_EQ(testing_support::fileLines(path).size(), 3);
    limitGrowth(path, 10);
    HistoProcs::HistoEvent(event(kEntries[4]));
    liftLimit();
    EXPECT_EQ(errors.size(), 2);
}

TEST_F(HistoryFile, ANewFileThatCannotBeWrittenIsRemovedSoTheNextStartsWithTheTitle)
{
    const QString path = file("Histo202412.his");
    limitGrowth(path, 100);  // less than the title
    HistoProcs::HistoEvent(event(kEntries[0]));
    liftLimit();
    EXPECT_FALSE(QFile::exists(path));
    EXPECT_EQ(errors.size(), 1);
    HistoProcs::HistoEvent(event(kEntries[1]));
    const QStringList lines = testing_support::fileLines(path);
    ASSERT_EQ(lines.size(), 2);
    EXPECT_EQ(lines[0], HistoFileRecord::Title());
}

TEST_F(HistoryFile, AFolderThatCannotBeWrittenLosesTheEntryAndSaysWhy)
{
    ASSERT_TRUE(QDir().mkpath(file("Histo202412.his")));  // a folder in the file's place
    HistoProcs::HistoEvent(event(kEntries[0]));
    HistoProcs::HistoEvent(event(kEntries[1]));
    EXPECT_EQ(errors, QStringList{"HistoProcs.HistoEvent:75"});
}

// The midnight pass writes its daily records straight to the history writer
// that the dispatch holds; the dispatch writes what its rule lets through.
TEST_F(HistoryFile, TheDispatchWritesThroughTheHistoryWriter)
{
    Dispatch::History& writer = HistoProcs::History();
    writer.HistoEvent(event(kEntries[15]));
    EXPECT_EQ(testing_support::fileLines(file("Histo202412.his")).value(1).mid(98).trimmed(), "010200000000");
}

} // namespace
