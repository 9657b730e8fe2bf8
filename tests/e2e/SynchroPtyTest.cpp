// The first start of polling through the whole program, in real time: the
// program started with its automatic start in this process, the module
// simulator program on a pseudo-terminal with channels already active. The
// start shows the synchronisation notice, the pass detects and resets every
// module and lists exactly the active channels, and polling follows it.

#include "program/core/ChannelClass.h"
#include "program/core/ConfigClass.h"
#include "program/core/FormNames.h"
#include "program/core/Globals.h"
#include "program/core/PanelClass.h"
#include "program/core/dlgMessage.h"
#include "program/runtime/wRunAlarms.h"
#include "tests/e2e/InProcessProgram.h"

#include "platform/AppIdentity.h"
#include "platform/Forms.h"
#include "platform/Screen.h"

#include <QTextEdit>

namespace {

// address:model; module 3 is a model 4, which the bus reports as a model 3.
const std::vector<e2e::ConfiguredModule> kModules = {{1, 1}, {2, 2}, {3, 4}};

// A request of the simulator's log in short form: "R132", "R49x12", "W17=0".
QString shortForm(const e2e::Request& r)
{
    const QStringList b = r.head.split(' ');
    const int reg = (b.value(1).toInt(nullptr, 16) << 8) | b.value(2).toInt(nullptr, 16);
    const int word = (b.value(3).toInt(nullptr, 16) << 8) | b.value(4).toInt(nullptr, 16);
    if (b.value(0) == "03")
        return word == 1 ? QString("R%1").arg(reg) : QString("R%1x%2").arg(reg).arg(word);
    return QString("W%1=%2").arg(reg).arg(word);
}

QStringList cleared(int channels)
{
    QStringList out;
    for (int c = 1; c <= channels; ++c)
        out << QString("W%1=0").arg(16 + c);
    return out;
}

class SynchroPty : public e2e::InProcessProgram {
protected:
    void SetUp() override
    {
        prepare();
        saveWorkingFile(kModules);
        assemble();
        QStringList modules;
        for (const e2e::ConfiguredModule& m : kModules)
            modules << QString("%1:%2").arg(m.address).arg(m.model);
        // Active before the program starts: module 1's channels 3 and 8, module 3's channel 2.
        startSimulator(modules.join(','), "0 state 1 3 1\n0 state 1 8 2\n0 state 3 2 1\n");
        // The script's first lines have run once the simulator answers.
        e2e::waitFor([] { return false; }, 300);
    }

    QStringList requestsTo(int module) const
    {
        QStringList out;
        for (const e2e::Request& r : e2e::requests(m_sim.log()))
            if (r.address == module)
                out << shortForm(r);
        return out;
    }

    static wRunAlarms* screen() { return qobject_cast<wRunAlarms*>(plat::Forms::Find(FormNames::wRunAlarms)); }
};

} // namespace

TEST_F(SynchroPty, TheFirstStartShowsTheNoticeSynchronisesEveryModuleAndThenPolls)
{
    // What the notice shows, and what the simulator had heard by then.
    QString notice;
    int heardByThen = -1;
    testing_support::whenShown(FormNames::dlgMessage, [&](plat::Form* f) {
        notice = qobject_cast<dlgMessage*>(f)->txtMessage->toPlainText();
        heardByThen = int(e2e::requests(m_sim.log()).size());
    }, 30000);
    Global::Main();

    EXPECT_TRUE(notice.startsWith(Config::GetText(30015, true).section('|', 0, 0))) << notice.toStdString();
    EXPECT_EQ(heardByThen, 0) << "shown before the first request";
    for (plat::Form* f : plat::Forms::All())
        EXPECT_FALSE(qobject_cast<dlgMessage*>(f)) << "the notice is gone when the pass ends";
    EXPECT_EQ(plat::Screen::MousePointer(), plat::Screen::vbDefault);

    // Exactly the active channels, newest on top, as the pass emitted them again.
    ASSERT_NE(screen(), nullptr);
    auto id = [](int module, int chnl, int aff) {
        return qint32(quint32(module) << 24 | quint32(chnl) << 16 | quint32(aff));
    };
    std::vector<qint32> rows;
    for (int r = 0; r < screen()->AlarmRowCount(); ++r)
        rows.push_back(screen()->AlarmRowData(r));
    EXPECT_EQ(rows, (std::vector<qint32>{id(3, 2, 1), id(1, 8, 2), id(1, 3, 1)}));
    const auto synchro = e2e::wordLines(e2e::readTrace(testing_support::programFolder()), "COMM", "SYNCHR");
    EXPECT_EQ(synchro.size(), 1u);

    // Then polling: each module's poll read comes after the pass's requests.
    const QStringList buffer =
        QStringList{"R132", "R133", "R49x12"} + cleared(12) + QStringList{"W67=2", "R144", "R1x12"};
    ASSERT_TRUE(e2e::waitFor([&] { return requestsTo(3).size() > buffer.size() && requestsTo(2).size() > 4; }, 10000))
        << m_sim.log().right(3000).toStdString();
    EXPECT_EQ(requestsTo(1).mid(0, buffer.size() + 1), buffer + QStringList{"R144"});
    EXPECT_EQ(requestsTo(2).mid(0, 5), QStringList({"R132", "W64=0", "R68", "W0=0", "R68"}));
    EXPECT_EQ(requestsTo(3).mid(0, buffer.size() + 1), buffer + QStringList{"R1x12"});
    EXPECT_TRUE(gConfig->Panel(3)->Present());
    EXPECT_EQ(gConfig->Panel(3)->ActualModel(), 3);
    EXPECT_TRUE(m_reports.isEmpty()) << m_reports.join("; ").toStdString();
}
