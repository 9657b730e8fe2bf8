// The program started in this process with its automatic start, the module
// simulator program on a pseudo-terminal: the operator has the main window's
// Open chooser up when a module raises an alarm. The program lives on: the
// chooser closes as cancelled, the alarm is traced and listed on the alarm
// screen, polling goes on, and a stop from the system ends the run with its
// stop lines.

#include "program/bus/wPolling.h"
#include "program/core/ConfigClass.h"
#include "program/core/FormNames.h"
#include "program/core/Globals.h"
#include "program/runtime/wRunAlarms.h"
#include "program/screens/system/wMain.h"
#include "tests/e2e/InProcessProgram.h"

#include "platform/Forms.h"

#include <QApplication>
#include <QFileDialog>
#include <QTimer>

namespace {

constexpr int kModule = 1;
// The channels whose first faults the simulator raises, one after the other
// (the first that comes while the chooser is up is the test's).
const int kChannels[] = {3, 4, 5, 6};
constexpr double kFirstFaultAtSeconds = 6.0;
constexpr double kFaultsApartSeconds = 6.0;

class ChooserAlarmPty : public e2e::InProcessProgram {
protected:
    void SetUp() override
    {
        prepare();
        saveWorkingFile({{kModule, 1}});
        assemble();
        QByteArray script;
        double at = kFirstFaultAtSeconds;
        for (int c : kChannels) {
            script += QStringLiteral("%1 event %2 %3 3 1\n").arg(at).arg(kModule).arg(c).toLatin1();
            at += kFaultsApartSeconds;
        }
        startSimulator(QString("%1:1").arg(kModule), script);
    }

    static wRunAlarms* alarms() { return qobject_cast<wRunAlarms*>(plat::Forms::Find(FormNames::wRunAlarms)); }
    static wPolling* engine() { return qobject_cast<wPolling*>(plat::Forms::Find(FormNames::wPolling)); }
    static QFileDialog* chooser() { return qobject_cast<QFileDialog*>(QApplication::activeModalWidget()); }

    // The row of the first fault of that channel.
    static bool listed(int channel)
    {
        const qint32 fault = qint32(quint32(kModule) << 24 | quint32(channel) << 16 | 1u << 8 | 3u);
        wRunAlarms* w = alarms();
        for (int r = 0; w && r < w->AlarmRowCount(); ++r)
            if (w->AlarmRowData(r) == fault)
                return true;
        return false;
    }
    // The channels whose faults have reached the trace.
    static std::vector<int> traced()
    {
        std::vector<int> channels;
        for (const e2e::TraceLine& l : e2e::readTrace(testing_support::programFolder()))
            if (l.event && l.event->Panel() == kModule && l.event->Aff() == 3)
                channels.push_back(l.event->Chnl());
        return channels;
    }
};

} // namespace

TEST_F(ChooserAlarmPty, AnAlarmWhileTheOpenChooserIsUpIsShownAndTheStopEndsTheRun)
{
    Global::Main();
    ASSERT_NE(alarms(), nullptr) << m_reports.join("; ").toStdString();
    ASSERT_TRUE(engine()->Run());
    plat::Forms::Get(FormNames::wMain)->Show();
    ASSERT_EQ(testing_support::visibleForms(), QStringList{FormNames::wMain});
    // Nothing to save first: the Open goes straight to its chooser.
    gConfig->setModified(false);

    // The operator opens the chooser and leaves it up; the faults traced
    // by then came before it.
    size_t tracedBefore = 0;
    bool returned = false;
    bool leftOpen = false;
    QTimer::singleShot(0, [&] {
        tracedBefore = traced().size();
        qobject_cast<wMain*>(plat::Forms::Find(FormNames::wMain))->imgNavig(wMain::NavigOpen)->click();
        returned = true;
    });
    bool chooserSeen = false;
    QTimer look;
    QObject::connect(&look, &QTimer::timeout, [&] { chooserSeen = chooserSeen || chooser(); });
    look.start(10);
    // A chooser that stays would hang the test: it fails instead.
    QTimer safety;
    safety.setSingleShot(true);
    QObject::connect(&safety, &QTimer::timeout, [&] {
        if (QFileDialog* d = chooser()) {
            leftOpen = true;
            d->reject();
        }
    });
    safety.start(60000);
    ASSERT_TRUE(e2e::waitFor([&] { return returned; }, 70000)) << simTail();
    look.stop();
    ASSERT_TRUE(chooserSeen);
    ASSERT_FALSE(leftOpen) << "the chooser stayed up through the alarms";

    // The alarm that came while the chooser was up is traced and listed.
    const std::vector<int> channels = traced();
    ASSERT_GT(channels.size(), tracedBefore) << simTail();
    const int channel = channels[tracedBefore];
    EXPECT_TRUE(listed(channel)) << "channel " << channel;
    EXPECT_EQ(testing_support::visibleForms(), QStringList{FormNames::wRunAlarms});
    EXPECT_EQ(plat::Forms::Find(FormNames::wMain), nullptr);
    EXPECT_EQ(e2e::wordLines(e2e::readTrace(testing_support::programFolder()), "APPLI", "STOP").size(), 0u)
        << "the program did not stop";

    // Polling goes on: the next fault comes too.
    if (tracedBefore + 1 < std::size(kChannels)) {
        const int following = kChannels[tracedBefore + 1];
        EXPECT_TRUE(e2e::waitFor([&] { return listed(following); }, 20000)) << simTail();
    }
    EXPECT_TRUE(m_reports.isEmpty()) << m_reports.join("; ").toStdString();

    // A stop from the system ends the run with its stop lines last.
    Global::RequestStop(plat::vbAppTaskManager);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(plat::Forms::All().empty());
    const auto lines = e2e::readTrace(testing_support::programFolder());
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(e2e::wordLines(lines, "APPLI", "STOP").size(), 1u);
    EXPECT_EQ(e2e::wordLines(lines, "COMM", "STOP").size(), 1u);
    EXPECT_TRUE(lines.back().text.contains("TASK  MANAGER")) << lines.back().text.toStdString();
}
