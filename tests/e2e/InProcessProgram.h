#pragma once
// The whole program run in the test's process, as its executable assembles
// it, against the module simulator program on a pseudo-terminal: the shipped
// database in the program folder, the bus line mapped to the simulator's
// link, every message, error report and critical box noted instead of shown,
// the horn on a recording player.

#include "program/App.h"
#include "program/bus/PollingSeams.h"
#include "program/core/ChannelClass.h"
#include "program/core/Config.h"
#include "program/core/ConfigClass.h"
#include "program/core/GlobalMain.h"
#include "program/core/PanelClass.h"
#include "program/core/VEXfonctions.h"
#include "tests/e2e/E2eSupport.h"
#include "tests/harness/TestSupport.h"
#include "tests/support/FakeSoundPlayer.h"
#include "tests/support/ProgramGlobals.h"

#include "platform/AppIdentity.h"
#include "platform/Guard.h"
#include "platform/SoundPlayer.h"

#include <QFile>
#include <gtest/gtest.h>

#include <vector>

namespace e2e {

// A module of the working file: its address, model and whether it is in service.
struct ConfiguredModule {
    int address;
    int model;
    bool active = true;
};

class InProcessProgram : public testing_support::ProgramGlobals {
protected:
    static QString folder() { return testing_support::programFolder(); }

    // The database opened (the working file is written with its defaults)
    // and COM1 mapped to the simulator's link.
    void prepare()
    {
        m_link = folder() + "/ttyBUS";
        ASSERT_TRUE(QFile::copy(testing_support::binFolder() + "/PLX2.cfg", folder() + "/PLX2.cfg"));
        ASSERT_TRUE(Config::OpenConfigBase());
        VEXfonctions::SetIni(QStringLiteral("Ports"), QStringLiteral("COM1"), m_link);
    }

    // The working file: these modules, every channel shown on the alarm
    // screen, the automatic start.
    static void saveWorkingFile(const std::vector<ConfiguredModule>& modules)
    {
        ConfigClass config;
        for (const ConfiguredModule& m : modules) {
            PanelClass& p = *config.Panel(qint16(m.address));
            p.setModel(qint16(m.model));
            p.setActive(m.active);
            for (int c = 1; c <= p.ChannelCount(); ++c)
                p.Channel(qint16(c))->setScrAlm(true);
        }
        for (int bit = 0; bit < 5; ++bit)
            config.setOptionScreen(bit, true);
        config.setAutoStart(true);
        ASSERT_EQ(config.Save(plat::AppIdentity::programFile(".dat")), -1);
    }

    // The program's assembly, with what it would show noted in m_reports.
    void assemble()
    {
        App::assemble();
        PollingSeams::installed().message = [this](const QString& text, int) {
            m_reports << text;
            return 1;
        };
        plat::setErrorReporter([this](const QString& name, const plat::RtError& e) {
            m_reports << QString("%1 %2").arg(name).arg(e.number());
        });
        Global::setCriticalBox([this](const QString&, const QString& text) { m_reports << text; });
        plat::setSoundPlayer(&m_player);
    }

    // The simulator program with those modules ("address:model") and the
    // script, if any, written to actions.txt, logging every request.
    void startSimulator(const QString& modules, const QByteArray& script = {})
    {
        ASSERT_TRUE(QFile::exists(testing_support::binFolder() + "/modsim")) << "modsim is not built";
        QStringList args{"--modules", modules};
        if (!script.isEmpty()) {
            QFile file(folder() + "/actions.txt");
            ASSERT_TRUE(file.open(QIODevice::WriteOnly));
            file.write(script);
            args << "--script" << file.fileName();
        }
        ASSERT_TRUE(m_sim.start(m_link, args, folder())) << m_sim.log().toStdString();
    }

    std::string simTail() const { return m_sim.log().right(3000).toStdString(); }

    void TearDown() override
    {
        ProgramGlobals::TearDown();
        m_sim.stop();
    }

    QString m_link;
    SimulatorProgram m_sim;
    QStringList m_reports;
    testing_support::FakeSoundPlayer m_player;
};

} // namespace e2e
