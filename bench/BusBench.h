#pragma once
// What the benchmarks of the bus engine share: a scratch program folder with
// the libraries registered, the module simulator program serving the modules
// on a pseudo-terminal with line-time emulation, a configuration of those
// modules on that line (its defaults play no part: no database is opened),
// an engine whose dispatch and trace log are recorded, and a port that adds
// up the floor of the frames that go out on it.

#include "bench/BenchSupport.h"
#include "program/bus/BusConstants.h"
#include "program/bus/FormPollTimer.h"
#include "program/bus/ModbusFrames.h"
#include "program/bus/PollingEngine.h"
#include "program/core/ConfigClass.h"
#include "program/core/Globals.h"
#include "program/core/PanelClass.h"

#include "platform/AppIdentity.h"
#include "platform/FormTimer.h"
#include "platform/SerialControl.h"
#include "platform/SerialPort.h"
#include "tests/support/DispatchDoubles.h"
#include "tests/support/RecordingLog.h"

#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>
#include <QThread>

#include <cstdio>
#include <memory>
#include <vector>

namespace bench {

// Modules 1.. of the models given, served by the simulator program at baud
// and configured, active, on COM1 of the program's INI file. False (after
// saying why) when something cannot be had.
inline bool serveBus(const QTemporaryDir& folder, QProcess& sim, const QString& simulator,
                     const std::vector<int>& models, int baud, const char* name)
{
    plat::AppIdentity::setProgramFolder(folder.path());
    plat::AppIdentity::setExeBaseName(QStringLiteral("PLX2"));
    if (!registerLibraries(QFileInfo(simulator).absolutePath(), folder.path() + "/Registry.ini")) {
        std::fprintf(stderr, "%s: cannot register the libraries beside %s\n", name, qPrintable(simulator));
        return false;
    }
    QStringList modules;
    for (size_t i = 0; i < models.size(); ++i)
        modules << QString("%1:%2").arg(i + 1).arg(models[i]);
    const QString link = folder.path() + "/ttyBENCH";
    sim.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    sim.start(simulator, {"--link", link, "--modules", modules.join(','), "--baud", QString::number(baud)});
    if (!sim.waitForStarted(5000)) {
        std::fprintf(stderr, "%s: cannot start %s\n", name, qPrintable(simulator));
        return false;
    }
    for (int i = 0; i < 100 && !QFileInfo::exists(link); ++i)
        QThread::msleep(50);
    QFile ini(plat::AppIdentity::programFile(".ini"));
    if (!ini.open(QIODevice::WriteOnly)) {
        std::fprintf(stderr, "%s: cannot write %s\n", name, qPrintable(ini.fileName()));
        return false;
    }
    ini.write(QString("[Ports]\r\nCOM1=%1\r\n").arg(link).toLocal8Bit());

    ReplaceConfig(std::make_unique<ConfigClass>([](int) { return QString(); }));
    gConfig->setBusSettings(QString("COM1:%1,N,8,1").arg(baud));
    gConfig->setPrtSettings(QString());
    gConfig->setInactivityTime(0);
    for (size_t i = 0; i < models.size(); ++i) {
        PanelClass& p = *gConfig->Panel(qint16(i + 1));
        p.setModel(models[i]);
        p.setActive(true);
    }
    return true;
}

// The engine on the port given with its own polling timer, its dispatch and
// trace log recorded, no inactivity detector, its messages said on stderr.
struct EngineRig {
    explicit EngineRig(plat::SerialControl& port)
    {
        engine.setPort(&port);
        engine.setTimer(&timer);
        engine.setTraceLog(log);
        doubles.wire(engine.dispatcher());
        engine.setHorn(&doubles.horn);
        engine.executor().setRules(&doubles.rules);
        PollingSeams seams;
        seams.newDetector = [] { return plat::ComPtr<Stillmark::_ActivityDetect>(); };
        seams.message = [](const QString& text, int) {
            std::fprintf(stderr, "message: %s\n", qPrintable(text));
            return 1;
        };
        engine.setSeams(seams);
        QObject::connect(&tmrPoll, &plat::FormTimer::Timer, &engine, [this] { engine.tmrPoll_Timer(); });
    }
    // The engine keeps no line of its own to write when it goes.
    ~EngineRig() { log->Release(); }
    EngineRig(const EngineRig&) = delete;
    EngineRig& operator=(const EngineRig&) = delete;

    // Loads the engine, which opens the simulator's line; false (after saying
    // so, and stopping the simulator) when it does not open.
    bool load(QProcess& sim, const char* name)
    {
        engine.Load();
        if (engine.port()->PortOpen())
            return true;
        std::fprintf(stderr, "%s: the simulator's line did not open\n", name);
        sim.terminate();
        sim.waitForFinished(3000);
        return false;
    }

    plat::FormTimer tmrPoll{QStringLiteral("tmrPoll")};
    FormPollTimer timer{tmrPoll};
    testing_support::RecordingSeams doubles;
    testing_support::RecordingLog* log = new testing_support::RecordingLog;
    PollingEngine engine;
};

// The real port at baud, adding up the floor that the frame routine imposes
// on every frame that goes out on it: the pause before it, the request on the
// line, then either the reply on the line after 3.5 characters of silence or,
// when no whole reply comes, the reply deadline.
class FloorPort : public plat::SerialPort {
public:
    static constexpr int BitsPerChar = 10;
    static constexpr double SilenceChars = 3.5;

    explicit FloorPort(int baud) : m_baud(baud) {}

    void Output(const QByteArray& bytes) override
    {
        plat::SerialPort::Output(bytes);
        ++frames;
        floorMs += Bus::FramePauseMs + charsMs(bytes.size());
        m_expected = 0;
        if (bytes.size() < 6 || quint8(bytes[0]) == Bus::BroadcastAddress)
            return;
        if (quint8(bytes[1]) == Bus::FnReadHoldingRegisters) {
            const int count = (quint8(bytes[4]) << 8) | quint8(bytes[5]);
            m_expected = ModbusFrames::readReplyLength(count);
            m_deadlineMs = double(ModbusFrames::readReplyTimeoutMs(count, Settings()));
        } else {
            m_expected = ModbusFrames::WriteReplyLength;
            m_deadlineMs = double(ModbusFrames::writeReplyTimeoutMs(Settings()));
        }
    }
    // The frame routine takes the input once, when the reply is whole or its deadline has passed.
    QByteArray Input() override
    {
        const QByteArray in = plat::SerialPort::Input();
        if (m_expected > 0) {
            floorMs += in.size() == m_expected ? charsMs(SilenceChars + m_expected) : m_deadlineMs;
            m_expected = 0;
        }
        return in;
    }

    int frames = 0;
    double floorMs = 0;

private:
    double charsMs(double chars) const { return chars * BitsPerChar * 1000.0 / m_baud; }

    int m_baud;
    int m_expected = 0;
    double m_deadlineMs = 0;
};

} // namespace bench
