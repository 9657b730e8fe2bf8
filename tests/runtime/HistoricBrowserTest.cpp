// The history viewer's rules without its window: which files become periods
// and in what order, the preselected period, the steps at either end, what a
// history file written by the dispatcher reads back as, which lines are left
// out, and the instruction an entry leads to.

#include "program/runtime/HistoricBrowser.h"

#include "program/bus/FieldRecord.h"
#include "program/core/PanelClass.h"
#include "program/runtime/HistoProcs.h"
#include "program/runtime/HistoFileRecord.h"
#include "program/runtime/HistoScreenRecord.h"
#include "tests/runtime/EventLinesFixture.h"

#include "platform/AppIdentity.h"
#include "platform/Cp1252.h"
#include "platform/Regional.h"
#include "platform/Values.h"

#include <QDir>

namespace {

class HistoricRules : public EventLinesFixture {
protected:
    static QString folder() { return testing_support::programFolder(); }
    static void touch(const QString& name, const QByteArray& content = "")
    {
        QFile f(folder() + "/" + name);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(content);
    }
    static QStringList texts(const std::vector<HistoricBrowser::Period>& periods)
    {
        QStringList t;
        for (const auto& p : periods)
            t << p.text;
        return t;
    }
    // Writes the events through the dispatcher's history writer, on that day.
    static QString writeHistory(const std::vector<EventClass>& events, const QDate& day)
    {
        HistoProcs::setHistoClock([day] { return plat::DateTime::fromDate(day, QTime(12, 0)); });
        for (const EventClass& ev : events)
            HistoProcs::HistoEvent(ev);
        HistoProcs::setHistoClock({});
        return folder() + "/Histo" + day.toString("yyyyMM") + ".his";
    }
};

TEST_F(HistoricRules, ListsTheFilesOfBothKindsInTheOrderOfTime)
{
    for (const char* name : {"Histo20261208.his", "Histo202612.his", "Histo202611.his", "Histo.his", "HistoCopy.his",
                             "Histo2026.his", "Backup202612.his", "Histo202610.txt"})
        touch(name);
    QDir().mkdir(folder() + "/Histo202609.his");
    const auto periods = HistoricBrowser::Periods(folder());
    EXPECT_EQ(texts(periods), (QStringList{"2026 - 11", "2026 - 12", "2026 - 12 - 08"}));
    ASSERT_EQ(periods.size(), 3u);
    EXPECT_EQ(periods[2].path, folder() + "/Histo20261208.his");
    EXPECT_TRUE(HistoricBrowser::Periods(folder() + "/nowhere").empty());
}

TEST_F(HistoricRules, PreselectsThePeriodWrittenNowElseTheFirst)
{
    for (const char* name : {"Histo202611.his", "Histo202612.his", "Histo20261208.his"})
        touch(name);
    const auto periods = HistoricBrowser::Periods(folder());
    struct Case {
        const char* what;
        QDate today;
        bool daily;
        int expected;
    } cases[] = {
        {"monthly, in December", {2026, 12, 20}, false, 1},
        {"monthly, in November", {2026, 11, 1}, false, 0},
        {"daily, on the 8th", {2026, 12, 8}, true, 2},
        {"daily, on a day without a file", {2026, 12, 9}, true, 0},
        {"monthly, in a month without a file", {2027, 1, 3}, false, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(HistoricBrowser::Preselected(periods, c.today, c.daily), c.expected);
    }
    EXPECT_EQ(HistoricBrowser::Preselected({}, QDate(2026, 12, 8), false), std::nullopt);
}

TEST_F(HistoricRules, StepsGoOneEntryAndNothingHappensAtEitherEnd)
{
    EXPECT_EQ(HistoricBrowser::Previous(2), 1);
    EXPECT_EQ(HistoricBrowser::Previous(0), std::nullopt);
    EXPECT_EQ(HistoricBrowser::Previous(-1), std::nullopt);
    EXPECT_EQ(HistoricBrowser::Next(0, 3), 1);
    EXPECT_EQ(HistoricBrowser::Next(2, 3), std::nullopt);
    EXPECT_EQ(HistoricBrowser::Next(-1, 0), std::nullopt);
}

TEST_F(HistoricRules, EntriesWrittenByTheDispatcherReadBackFieldForField)
{
    setLetters();
    std::vector<EventClass> events;
    const EventCase cases[] = {
        {"channel alarm", 5, 12, 1, 3, 123456, 4711},
        {"back to normal", 5, 12, 0, 1, 123457, 4712},
        {"module-wide", 5, 0, 0, 2, 9, -1},
        {"module gone", 5, 255, 0, 0, 10, 0},
        {"operator acknowledgement", 5, 254, 0, 0, 11, 0},
        {"program stop", 0, 254, 0, 2, 12, 0},
    };
    for (const EventCase& c : cases)
        events.push_back(event(c));
    const QString path = writeHistory(events, QDate(2024, 12, 10));
    const HistoricEntries rows = HistoricBrowser::Load(path);
    ASSERT_EQ(rows.size(), qsizetype(events.size()));
    using S = HistoScreenRecord;
    for (size_t i = 0; i < events.size(); ++i) {
        SCOPED_TRACE(cases[i].name);
        const QString live = HistoProcs::FormateHistoScreen(events[i]);
        const QString read = rows.at(qsizetype(i));
        EXPECT_EQ(read.size(), S::Length);
        for (S::Field f : {S::Display, S::Parameter, S::Origin, S::Date, S::Time, S::PnlCnt, S::Common, S::Specific})
            EXPECT_EQ(read.mid(S::position(f), S::width(f)), live.mid(S::position(f), S::width(f))) << "field " << f;
        // The number: six digits and a blank; the line break two blanks.
        EXPECT_EQ(read.mid(S::position(S::Num), S::width(S::Num)), live.mid(1, 6) + " ");
        EXPECT_EQ(read.mid(S::LineBreakPos, 2), "  ");
    }
    EXPECT_TRUE(errors.isEmpty()) << errors.join("; ").toStdString();
}

TEST_F(HistoricRules, LeavesOutTheTitleAndEveryLineThatStartsWithNoDate)
{
    setLetters();
    const QString path = writeHistory({event({"alarm", 5, 12, 1, 3, 1, 0})}, QDate(2024, 12, 10));
    const HistoricEntries entry = HistoricBrowser::Load(path);
    ASSERT_EQ(entry.size(), 1);
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::Append));
    for (const char* foreign : {"", "garbage", "14:03:05   a time, not a date", "31/02/2024 no such day",
                                "2024-12-10 another order", "10/12/24   a short year"})
        f.write(QByteArray(foreign) + "\r\n");
    f.write(plat::Cp1252::encode(HistoProcs::HistoScreenLineToHistoFileLine(HistoProcs::FormateHistoScreen(
        event({"second", 5, 12, 0, 1, 2, 0})))));
    // The last line ends without its CR LF.
    f.close();
    const HistoricEntries rows = HistoricBrowser::Load(path);
    ASSERT_EQ(rows.size(), 2);
    EXPECT_EQ(rows.at(0), entry.at(0));
    EXPECT_TRUE(rows.at(1).startsWith("000002 ")) << rows.at(1).toStdString();
    EXPECT_TRUE(HistoricBrowser::Load(folder() + "/Histo209901.his").isEmpty());
}

TEST_F(HistoricRules, AnEntryCutByTheEndOfAReadPieceReadsWhole)
{
    setLetters();
    // Entries as another program may leave them: without their trailing blanks.
    const auto entry = [&](int num) {
        return plat::Trim(HistoProcs::HistoScreenLineToHistoFileLine(
            HistoProcs::FormateHistoScreen(event({"entry", 5, 12, 1, 3, num, 0}))));
    };
    const qint64 length = entry(1).size();
    ASSERT_LT(length, HistoFileRecord::Length);
    const qint64 piece = HistoricBrowser::ReadPiece;
    // Where an entry starts, and how its line ends.
    const struct {
        const char* what;
        qint64 at;
        const char* end;
    } cases[] = {
        {"its date cut in two", piece - 5, "\r\n"},
        {"its CR the last byte of a piece", 2 * piece - 1 - length, "\r\n"},
        {"its CR LF the last bytes of a piece", 3 * piece - 2 - length, "\r\n"},
        {"its bare LF the last byte of a piece", 4 * piece - 1 - length, "\n"},
        {"after a line whose CR LF is cut in two", 5 * piece + 1, "\r\n"},
    };
    QByteArray content = plat::Cp1252::encode(HistoFileRecord::Title()) + "\r\n";
    QStringList lines;
    for (const auto& c : cases) {
        // A foreign line up to where the entry starts.
        const qint64 pad = c.at - content.size() - 2;
        ASSERT_GE(pad, 0) << c.what;
        content += QByteArray(pad, 'x') + "\r\n";
        lines << entry(int(lines.size()) + 1);
        content += plat::Cp1252::encode(lines.back()) + c.end;
    }
    touch("Histo202412.his", content);
    const HistoricEntries rows = HistoricBrowser::Load(folder() + "/Histo202412.his");
    ASSERT_EQ(rows.size(), lines.size());
    for (qsizetype i = 0; i < rows.size(); ++i) {
        SCOPED_TRACE(cases[i].what);
        EXPECT_EQ(rows.at(i), HistoProcs::HistoFileLineToHistoScreenLine(lines[i]));
    }
}

TEST_F(HistoricRules, ReadsTheDatesOfTheShortDateInUse)
{
    plat::Regional::setShortDateFormat("yyyy-MM-dd");
    setLetters();
    const QString path = writeHistory({event({"alarm", 5, 12, 1, 3, 1, 0})}, QDate(2024, 12, 10));
    EXPECT_EQ(HistoricBrowser::Load(path).size(), 1);
    EXPECT_TRUE(HistoricBrowser::IsShortDate("2024-12-10"));
    EXPECT_FALSE(HistoricBrowser::IsShortDate("10/12/2024"));
    plat::Regional::reset();
    EXPECT_TRUE(HistoricBrowser::IsShortDate("10/12/2024"));
    EXPECT_FALSE(HistoricBrowser::IsShortDate("Date      "));
}

TEST_F(HistoricRules, AShortDateReadsAsTheRegionalFormatReadsIt)
{
    const char* patterns[] = {"dd/MM/yyyy", "d.M.yyyy", "yyyy-MM-dd", "MM/dd/yy", "dd MMM yyyy"};
    const char* texts[] = {"10/12/2024", "1/2/2024", "01/02/2024", "1.2.2024", "10.12.2024", "2024-12-10", "2024-1-10",
                           "12/10/24", "29/02/2023", "29/02/2024", "02/29/00", "31/04/2024", "10/12/2024x", "10/12/202",
                           "10 Dec 2024", "10/12/２０２４", "  ", "Date", "00/12/2024", "10/13/2024"};
    for (const char* pattern : patterns) {
        plat::Regional::setShortDateFormat(pattern);
        for (const char* text : texts) {
            const QString t = QString::fromUtf8(text);
            EXPECT_EQ(HistoricBrowser::IsShortDate(t), QDate::fromString(t.trimmed(), pattern).isValid())
                << pattern << " " << text;
        }
    }
    plat::Regional::reset();
}

TEST_F(HistoricRules, AnEntryLeadsToTheInstructionOfItsChannelOnly)
{
    setLetters();
    ConfigAccess::channel(7, 24).setHelpNum(12);
    ConfigAccess::channel(7, 1).setHelpNum(3);
    struct Case {
        const char* name;
        EventCase event;
        int expected;
    } cases[] = {
        {"module 7, channel 24", {"", 7, 24, 1, 3, 1, 0}, 12},
        {"module 7, channel 1", {"", 7, 1, 1, 3, 2, 0}, 3},
        {"a channel without instruction", {"", 5, 12, 1, 3, 3, 0}, 0},
        {"the module-wide event", {"", 7, 0, 0, 2, 4, 0}, 0},
        {"the module's presence", {"", 7, 255, 0, 0, 5, 0}, 0},
        {"a SYSTEM line", {"", 7, 254, 0, 0, 6, 0}, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QString row = HistoProcs::HistoFileLineToHistoScreenLine(
            HistoProcs::HistoScreenLineToHistoFileLine(HistoProcs::FormateHistoScreen(event(c.event))));
        EXPECT_EQ(HistoricBrowser::InstructionNumber(row, *gConfig), c.expected);
        // A live line, with its CR LF, finds the same.
        EXPECT_EQ(HistoricBrowser::InstructionNumber(HistoProcs::FormateHistoScreen(event(c.event)), *gConfig), c.expected);
    }
    EXPECT_EQ(HistoricBrowser::InstructionNumber(QString(), *gConfig), 0) << "no entry";
}

TEST_F(HistoricRules, TheAlarmLineBreaksWhereTheEntrysSecondLineStarts)
{
    const QString row = QString(80, 'a') + "  " + QString(80, 'b');
    const QString caption = HistoricBrowser::AlarmCaption(row);
    const QChar nbsp(0xA0);
    ASSERT_EQ(caption.size(), 2 + 162 + 1);
    EXPECT_EQ(caption.left(82), QString(2, nbsp) + QString(80, 'a'));
    EXPECT_EQ(caption.mid(82, 1), "\r");
    EXPECT_EQ(caption.mid(83), QString(2, nbsp) + QString(80, 'b'));
    EXPECT_FALSE(caption.contains(' '));
}

} // namespace
