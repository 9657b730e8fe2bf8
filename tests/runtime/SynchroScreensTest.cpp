// The general synchronisation pass as the operator sees it, on the real
// engine form against the in-process simulator: the notice on top while it
// runs, the busy pointer and the marker of the alarm screen (the technician
// screen's is with that screen's tests), the alarm list emptied and filled with exactly the channels found
// active (each traced as "SYNCHRO" with a new number), its clean-up after an
// error half way; and the midnight records, in the history file only.

#include "tests/support/DispatchDoubles.h"
#include "tests/support/EngineMessages.h"
#include "tests/runtime/AlarmScreenFixture.h"

#include "program/bus/EngineTimers.h"
#include "program/bus/TraceRecord.h"
#include "program/runtime/HistoFile.h"
#include "program/runtime/HistoFileRecord.h"

#include "platform/Cp1252.h"
#include "platform/RtError.h"
#include "platform/Screen.h"

#include <QLineEdit>
#include <QRegularExpression>

#include <algorithm>
#include <optional>

namespace {

using testing_support::FailingMirrors;

using alarmtest::AlarmScreenFixture;

class SynchroScreens : public AlarmScreenFixture {
protected:
    void SetUp() override
    {
        AlarmScreenFixture::SetUp();
        // What the screens show when the pass sends its first type query.
        sim.setObserver([this](const modsim::Exchange& x) {
            if (during || x.request.size() < 4 || ((quint8(x.request[2]) << 8) | quint8(x.request[3])) != 132)
                return;
            During d;
            d.pointer = plat::Screen::MousePointer();
            for (plat::Form* f : plat::Forms::All())
                if (auto* box = qobject_cast<dlgMessage*>(f))
                    d.notice = box->txtMessage->toPlainText()
                               + (box->imgIcon(3)->isVisibleTo(box) ? "|exclamation" : "");
            if (wRunAlarms* w = screen())
                d.alarmMark = w->imgStopRun(wRunAlarms::StopRunSynchro)->isVisibleTo(w);
            during = d;
        });
    }

    static bool noticeLoaded()
    {
        for (plat::Form* f : plat::Forms::All())
            if (qobject_cast<dlgMessage*>(f))
                return true;
        return false;
    }
    // The trace log's lines.
    static QStringList traceLines()
    {
        gTraceLog().FlushFile();
        QFile f(testing_support::programFolder() + "/trace.log");
        if (!f.open(QIODevice::ReadOnly))
            return {};
        return plat::Cp1252::decode(f.readAll()).split("\r\n", Qt::SkipEmptyParts);
    }
    static QString field(const QString& line, TraceRecord::Field f)
    {
        return line.mid(TraceRecord::position(f), TraceRecord::width(f)).trimmed();
    }

    struct During {
        int pointer = -1;
        QString notice;
        bool alarmMark = false;
    };
    std::optional<During> during;
};

} // namespace

TEST_F(SynchroScreens, TheFirstStartShowsTheNoticeAndListsExactlyTheChannelsFoundActive)
{
    configure(1, 1);
    configure(2, 4);
    configure(3, 1);
    sim.setChannelState(1, 3, 1);
    sim.setChannelState(1, 5, 3);
    sim.module(1)->setChannelParam(5, 1);
    sim.setChannelState(2, 2, 1);
    wRunAlarms* w = showScreen();
    // A row of an alarm that has gone from the bus since.
    send(3, 7, 0, 1);
    ASSERT_EQ(rowIds(), std::vector<qint32>{id(3, 7, 0, 1)});
    auto number = [w](int row) {
        return EngineTimers::ListedRowAlarm(w->AlarmRowText(row), w->AlarmRowData(row))->number;
    };
    const qint32 oldNumber = number(0);

    startPolling();

    ASSERT_TRUE(during.has_value());
    EXPECT_EQ(during->pointer, plat::Screen::vbHourglass);
    EXPECT_TRUE(during->notice.startsWith(Config::GetText(30015, true).section('|', 0, 0)))
        << during->notice.toStdString();
    EXPECT_TRUE(during->notice.endsWith("|exclamation")) << "style 48";
    EXPECT_TRUE(during->alarmMark);
    // Newest on top; the stale row is gone.
    EXPECT_EQ(rowIds(), (std::vector<qint32>{id(2, 2, 0, 1), id(1, 5, 1, 3), id(1, 3, 0, 1)}));
    for (int r = 0; r < w->AlarmRowCount(); ++r)
        EXPECT_GT(number(r), oldNumber);
    EXPECT_FALSE(noticeLoaded());
    EXPECT_EQ(plat::Screen::MousePointer(), plat::Screen::vbDefault);
    EXPECT_FALSE(w->imgStopRun(wRunAlarms::StopRunSynchro)->isVisibleTo(w));

    QStringList synchro;
    for (const QString& line : traceLines())
        if (field(line, TraceRecord::PnlCnt) == "SYNCHRO")
            synchro << field(line, TraceRecord::Origin) + " " + field(line, TraceRecord::State);
    EXPECT_EQ(synchro, QStringList({"M01-C03 ACTIVE", "M01-C05 1stFLT", "M02-C02 ACTIVE"}));
    EXPECT_EQ(traceLines().filter(QRegularExpression("^.{20}SYNCHR ")).size(), 1) << "the pass's own line";
    EXPECT_TRUE(reports.isEmpty()) << reports.join("; ").toStdString();
}

TEST_F(SynchroScreens, ABusWithNothingActiveLeavesTheListEmptyWithItsNoAlarmText)
{
    configure(1, 1);
    wRunAlarms* w = showScreen();
    send(1, 7, 0, 1);
    ASSERT_EQ(w->AlarmRowCount(), 1);
    ASSERT_FALSE(w->txtNoAlarm->isVisibleTo(w));
    startPolling();
    EXPECT_EQ(w->AlarmRowCount(), 0);
    EXPECT_TRUE(w->txtNoAlarm->isVisibleTo(w));
    EXPECT_FALSE(w->imgPointer->isVisibleTo(w));
    EXPECT_TRUE(reports.isEmpty()) << reports.join("; ").toStdString();
}

TEST_F(SynchroScreens, TheAlarmScreenIsLoadedForThePassWhenItWasNot)
{
    configure(1, 1);
    engine();
    ASSERT_EQ(screen(), nullptr);
    engine()->SynchroGeneraleBus();
    ASSERT_NE(screen(), nullptr);
    EXPECT_EQ(screen()->AlarmRowCount(), 0);
    EXPECT_TRUE(screen()->txtNoAlarm->isVisibleTo(screen()));
    EXPECT_FALSE(screen()->isVisible()) << "loaded, not shown";
}

TEST_F(SynchroScreens, AnErrorHalfWayIsReportedOnceAndThePassStillEndsAsItMust)
{
    configure(1, 1);
    configure(2, 1);
    // Nothing shown, so that nothing else clears the screens meanwhile.
    for (int m : {1, 2})
        for (int c = 1; c <= 12; ++c)
            channel(m, c).setScrAlm(false);
    sim.setChannelState(1, 3, 1);
    sim.setChannelState(2, 4, 1);
    FailingMirrors failing;
    Dispatch::installed().mirrors = &failing;
    wRunAlarms* w = showScreen();
    recordEvents();
    engine()->SynchroGeneraleBus();

    ASSERT_TRUE(during.has_value());
    EXPECT_FALSE(during->notice.isEmpty());
    EXPECT_EQ(reports.filter("wPolling.SynchroGeneraleBus").size(), 1) << reports.join("; ").toStdString();
    EXPECT_TRUE(reports.contains(QString("wPolling.SynchroGeneraleBus %1").arg(plat::rt::InvalidProcedureCall)));
    // It ended at the first channel's copy: module 2's channel was never emitted.
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].Panel(), 1);
    EXPECT_FALSE(noticeLoaded());
    EXPECT_EQ(plat::Screen::MousePointer(), plat::Screen::vbDefault);
    EXPECT_FALSE(w->imgStopRun(wRunAlarms::StopRunSynchro)->isVisibleTo(w));
}

// Where the line goes down before the pass would empty the list.
enum class LineDown { AtReopening, InDetection, InReset };

class SynchroLineDown : public SynchroScreens, public ::testing::WithParamInterface<LineDown> {
protected:
    void SetUp() override
    {
        SynchroScreens::SetUp();
        wPolling::setPortFactory([this] {
            auto line = std::make_unique<modsim::SimSerialControl>(sim, clock);
            m_line = line.get();
            return line;
        });
        PollingSeams::installed().message = testing_support::noteEngineMessages(messages, notices);
    }
    // The line goes away as the first request to that register is sent.
    void vanishAt(int reg)
    {
        sim.setObserver([this, reg](const modsim::Exchange& x) {
            if (x.request.size() >= 4 && ((quint8(x.request[2]) << 8) | quint8(x.request[3])) == reg)
                m_line->setFault("vanish", 0);
        });
    }

    modsim::SimSerialControl* m_line = nullptr;
    QStringList notices;
};

// The list and its rows stay as they were, nothing is emitted again, the
// trace says the line is lost, and the first start's pass is owed to the next
// start of polling, which lists what the modules report.
TEST_P(SynchroLineDown, LeavesTheListAsItWasAndThePassOwed)
{
    configure(1, 1);
    sim.setChannelState(1, 3, 1);
    showScreen();
    send(1, 5, 0, 1);
    const std::vector<qint32> listed = rowIds();
    ASSERT_EQ(listed, std::vector<qint32>{id(1, 5, 0, 1)});
    switch (GetParam()) {
    case LineDown::AtReopening:
        m_line->setOpenFails(true);
        break;
    case LineDown::InDetection:
        vanishAt(132);
        break;
    case LineDown::InReset:
        vanishAt(17);
        break;
    }
    recordEvents();
    engine()->setRun(true);
    settle();

    EXPECT_EQ(rowIds(), listed);
    EXPECT_TRUE(std::none_of(events.begin(), events.end(), [](const EventClass& e) { return e.Clock() == -1; }))
        << "nothing emitted again";
    const QStringList lost = traceLines().filter(QRegularExpression("^.{20}LOST   "));
    ASSERT_EQ(lost.size(), 1);
    EXPECT_EQ(lost[0].size(), 132);
    EXPECT_TRUE(lost[0].contains("COMM   LOST   COM1 ")) << lost[0].toStdString();
    EXPECT_FALSE(engine()->engine().SynchroDone());
    EXPECT_TRUE(messages.isEmpty()) << "nobody is asked in a pass";
    EXPECT_EQ(notices.size(), GetParam() == LineDown::AtReopening ? 1 : 0);
    EXPECT_TRUE(reports.isEmpty()) << reports.join("; ").toStdString();

    // The line back: the next start runs the pass owed.
    sim.setObserver({});
    m_line->setOpenFails(false);
    m_line->setFault("none");
    engine()->setRun(false);
    engine()->setRun(true);
    settle();
    EXPECT_TRUE(engine()->engine().SynchroDone());
    EXPECT_EQ(rowIds(), std::vector<qint32>{id(1, 3, 0, 1)});
}

INSTANTIATE_TEST_SUITE_P(Synchro, SynchroLineDown,
                         ::testing::Values(LineDown::AtReopening, LineDown::InDetection, LineDown::InReset),
                         [](const ::testing::TestParamInfo<LineDown>& info) {
                             switch (info.param) {
                             case LineDown::AtReopening: return "AtReopening";
                             case LineDown::InDetection: return "InDetection";
                             case LineDown::InReset: return "InReset";
                             }
                             return "";
                         });

TEST_F(SynchroScreens, TheMidnightRecordsGoToTheHistoryFileOnlyWithNumbersInTurn)
{
    Dispatch::installed().history = &HistoProcs::History();
    configure(1, 1);
    configure(2, 4);
    configure(4, 2);
    wRunAlarms* w = showScreen();
    startPolling();
    const int rowsBefore = w->AlarmRowCount();
    const int traceBefore = int(traceLines().size());
    const size_t printedBefore = doubles.printer.events.size();
    engine()->MidnightSynchro();

    const QString file = HistoFile::FileName(plat::DateTime::now().date(), HistoFile::Daily());
    const QStringList lines = testing_support::fileLines(file);
    std::vector<int> numbers;
    QStringList origins;
    for (const QString& line : lines) {
        auto field = [&](HistoFileRecord::Field f) {
            return line.mid(HistoFileRecord::position(f), HistoFileRecord::width(f)).trimmed();
        };
        if (field(HistoFileRecord::Display) != Config::GetText(51047))
            continue;
        numbers.push_back(field(HistoFileRecord::Num).toInt());
        origins << field(HistoFileRecord::Origin).left(3);
    }
    ASSERT_EQ(numbers.size(), 3u) << lines.join('\n').toStdString();
    EXPECT_EQ(numbers[1], numbers[0] + 1);
    EXPECT_EQ(numbers[2], numbers[0] + 2);
    EXPECT_EQ(origins, QStringList({"M01", "M02", "M04"}));
    EXPECT_EQ(int(traceLines().size()), traceBefore) << "no trace line";
    EXPECT_EQ(w->AlarmRowCount(), rowsBefore) << "not on the screen";
    EXPECT_EQ(doubles.printer.events.size(), printedBefore) << "not printed";
    EXPECT_TRUE(reports.isEmpty()) << reports.join("; ").toStdString();
}

TEST_F(SynchroScreens, APassAskedWhileTheNoticeYieldsRunsNoSecondPassInsideTheFirst)
{
    configure(1, 1);
    int yields = 0;
    engine()->engine().setYield([&] {
        ++yields;
        engine()->SynchroGeneraleBus();
    });
    engine()->SynchroGeneraleBus();
    EXPECT_EQ(yields, 1) << "a second pass would have shown its notice too";
    EXPECT_EQ(traceLines().filter(QRegularExpression("^.{20}SYNCHR ")).size(), 1);
    EXPECT_FALSE(noticeLoaded());
    EXPECT_TRUE(reports.isEmpty()) << reports.join("; ").toStdString();
}
