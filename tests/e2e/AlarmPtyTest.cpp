// The road of an alarm through the whole program, in real time: the program
// started with its automatic start in this process, the module simulator
// program on a pseudo-terminal raising a first fault; the fault becomes a
// red row on the alarm screen, and acknowledging it writes 2 to register 67
// of the module.

#include "program/core/ChannelClass.h"
#include "program/core/Config.h"
#include "program/core/ConfigClass.h"
#include "program/core/FormNames.h"
#include "program/core/PanelClass.h"
#include "program/runtime/wRunAlarms.h"
#include "tests/e2e/InProcessProgram.h"

#include "platform/AppIdentity.h"
#include "platform/Forms.h"

#include <optional>

namespace {

constexpr int kModule = 1;
constexpr int kChannel = 3;
// When the simulator raises the fault, counted from its start.
constexpr double kFaultAtSeconds = 2.0;

class AlarmPty : public e2e::InProcessProgram {
protected:
    void SetUp() override
    {
        prepare();
        {
            // The working file: one module whose channel shows and sounds its alarms.
            ConfigClass config;
            PanelClass& p = *config.Panel(kModule);
            p.setModel(1);
            p.setActive(true);
            ChannelClass& ch = *p.Channel(kChannel);
            ch.setScrAlm(true);
            ch.setKlaxon(true);
            for (int bit = 0; bit < 5; ++bit) {
                config.setOptionScreen(bit, true);
                config.setOptionKlaxon(bit, true);
            }
            config.setAutoStart(true);
            ASSERT_EQ(config.Save(plat::AppIdentity::programFile(".dat")), -1);
        }
        assemble();
        startSimulator(QString("%1:1").arg(kModule),
                       QStringLiteral("%1 event %2 %3 3 1\n").arg(kFaultAtSeconds).arg(kModule).arg(kChannel).toLatin1());
    }

    static wRunAlarms* screen() { return qobject_cast<wRunAlarms*>(plat::Forms::Find(FormNames::wRunAlarms)); }
};

TEST_F(AlarmPty, AFirstFaultBecomesARedRowAndItsAcknowledgementReachesTheModule)
{
    Global::Main();
    ASSERT_NE(screen(), nullptr) << m_reports.join("; ").toStdString();
    const qint32 fault = qint32(quint32(kModule) << 24 | quint32(kChannel) << 16 | 1u << 8 | 3u);
    auto redRow = [&] {
        wRunAlarms* w = screen();
        for (int r = 0; w && r < w->AlarmRowCount(); ++r)
            if (w->AlarmRowData(r) == fault)
                return w->grdAlarms->CellBackColor(r, 0) == 0x0000FFu;
        return false;
    };
    ASSERT_TRUE(e2e::waitFor(redRow, 20000)) << m_sim.log().right(3000).toStdString();
    EXPECT_FALSE(m_player.playing.isEmpty()) << "the horn sounds";

    // Nobody has level 1 in the shipped users: no login is asked.
    screen()->grdAlarms->setRow(0);
    screen()->imgAcquit->click();
    EXPECT_TRUE(m_player.playing.isEmpty());
    // Function 6, register 67 (0x43), value 2, answered by the module.
    const QString request = QString("> %1 06 00 43 00 02").arg(kModule, 2, 16, QChar('0'));
    ASSERT_TRUE(e2e::waitFor([&] { return m_sim.log().contains(request); }, 10000)) << m_sim.log().right(3000).toStdString();
    const QString line = m_sim.log().mid(m_sim.log().indexOf(request)).section('\n', 0, 0);
    EXPECT_TRUE(line.contains("< ")) << line.toStdString();
    EXPECT_EQ(e2e::eventLines(e2e::readTrace(testing_support::programFolder()), 254, 0, kModule).size(), 1u)
        << "the operator's acknowledgement is traced";
    EXPECT_TRUE(m_reports.isEmpty()) << m_reports.join("; ").toStdString();
}

} // namespace
