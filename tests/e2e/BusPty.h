#pragma once
// The program assembled in this process with its bus on the module simulator
// program over a pseudo-terminal, in real time, as the end-to-end tests of
// the bus screens run it.

#include "platform/AppIdentity.h"
#include "platform/Database.h"
#include "platform/Guard.h"
#include "program/App.h"
#include "program/bus/DispatchSeams.h"
#include "program/bus/PollingSeams.h"
#include "program/core/Config.h"
#include "program/core/ConfigClass.h"
#include "program/core/Globals.h"
#include "program/core/PanelClass.h"
#include "program/core/VEXfonctions.h"
#include "tests/e2e/E2eSupport.h"
#include "tests/support/DispatchDoubles.h"
#include "tests/support/ProgramGlobals.h"

#include <QFile>
#include <QString>
#include <QStringList>

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>

namespace e2e {

// The program on the test's program folder with a copy of the database and
// its port COM1 on m_link: the engine's messages are answered at once, no
// inactivity detector runs, the alarm screen and the history are recorders
// and every error report is noted in reports. The database is open for the
// test to make its working file (saveWorkingFile); the simulator program is
// the test's to start.
class BusPty : public testing_support::ProgramGlobals {
protected:
    void SetUp() override
    {
        const QString bin = testing_support::binFolder();
        m_link = testing_support::programFolder() + QStringLiteral("/ttyBUS");
        ASSERT_TRUE(QFile::exists(bin + QStringLiteral("/modsim"))
                    && QFile::copy(bin + QStringLiteral("/PLX2.cfg"), plat::AppIdentity::programFile(QStringLiteral(".cfg"))))
            << "modsim or the database is not built";
        App::assemble();
        PollingSeams::installed().message = [](const QString&, int) { return 1; };
        PollingSeams::installed().newDetector = [] { return plat::ComPtr<Stillmark::_ActivityDetect>(); };
        VEXfonctions::SetIni(QStringLiteral("Ports"), QStringLiteral("COM1"), m_link);
        Dispatch::installed().alarmScreen = &m_display;
        Dispatch::installed().history = &m_history;
        plat::setErrorReporter([this](const QString& name, const plat::RtError& e) {
            reports << QString("%1 %2").arg(name).arg(e.number());
        });
        ASSERT_TRUE(Config::OpenConfigBase());
    }

    void TearDown() override
    {
        ProgramGlobals::TearDown();
        m_sim.stop();
    }

    // Modules of model 1, polled.
    static void addModules(ConfigClass& config, std::initializer_list<int> modules)
    {
        for (int m : modules) {
            config.Panel(int16_t(m))->setModel(1);
            config.Panel(int16_t(m))->setActive(true);
        }
    }

    // Saves config as the working file with the automatic start and closes
    // the database, which the program's start opens again.
    static void saveWorkingFile(ConfigClass& config)
    {
        config.setAutoStart(true);
        ASSERT_EQ(config.Save(plat::AppIdentity::programFile(QStringLiteral(".dat"))), -1);
        ReplaceDatabase(nullptr);
    }

    std::string logs() const { return m_sim.log().right(3000).toStdString(); }

    QString m_link;
    SimulatorProgram m_sim;
    QStringList reports;
    testing_support::RecordingAlarmScreen m_display;
    testing_support::RecordingHistory m_history;
};

} // namespace e2e
