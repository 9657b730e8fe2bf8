#pragma once
// The program assembled in this process with its bus on the module simulator
// program over a pseudo-terminal, in real time, as the end-to-end tests of
// the bus screens run it.

#include "platform/AppIdentity.h"
#include "program/App.h"
#include "program/bus/PollingSeams.h"
#include "program/core/VEXfonctions.h"
#include "tests/e2e/E2eSupport.h"

#include <QFile>
#include <QProcess>
#include <QString>
#include <QStringList>

#include <csignal>
#include <sys/types.h>

namespace e2e {

// Assembles the program on the test's program folder with a copy of the
// database and its port COM1 on link; the engine's messages are answered at
// once and no inactivity detector runs. False when the simulator program or
// the database is not built.
inline bool assembleOnLink(const QString& link)
{
    const QString bin = testing_support::binFolder();
    if (!QFile::exists(bin + QStringLiteral("/modsim"))
        || !QFile::copy(bin + QStringLiteral("/PLX2.cfg"), plat::AppIdentity::programFile(QStringLiteral(".cfg"))))
        return false;
    App::assemble();
    PollingSeams::installed().message = [](const QString&, int) { return 1; };
    PollingSeams::installed().newDetector = [] { return plat::ComPtr<Stillmark::_ActivityDetect>(); };
    VEXfonctions::SetIni(QStringLiteral("Ports"), QStringLiteral("COM1"), link);
    return true;
}

// The module simulator program serving a pseudo-terminal link, its log
// (stderr) kept; stopped as a stop from the system stops it (then killed)
// when the test is done with it.
class SimulatorProcess {
public:
    ~SimulatorProcess() { stop(); }

    // Starts it and waits for its link; false when either does not come.
    bool start(const QString& link, const QStringList& args, const QString& folder)
    {
        QObject::connect(&m_process, &QProcess::readyReadStandardError,
                         [this] { m_log += m_process.readAllStandardError(); });
        startHeadless(m_process, testing_support::binFolder() + QStringLiteral("/modsim"),
                      QStringList{QStringLiteral("--link"), link} + args, folder);
        return m_process.waitForStarted(10000) && waitFor([&] { return QFile::exists(link); }, 10000);
    }

    void stop()
    {
        if (m_process.state() == QProcess::NotRunning)
            return;
        ::kill(pid_t(m_process.processId()), SIGTERM);
        if (!m_process.waitForFinished(10000))
            m_process.kill();
    }

    const QString& log() const { return m_log; }

private:
    QProcess m_process;
    QString m_log;
};

} // namespace e2e
