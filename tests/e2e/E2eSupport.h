#pragma once
// Shared by the end-to-end tests: a pseudo-terminal to stand for the bus line,
// the day's trace log read back as events, and the executable run from a
// program folder of its own.

#include "program/bus/EventClass.h"
#include "program/bus/TraceRecord.h"
#include "tests/harness/TestSupport.h"

#include "platform/Cp1252.h"

#include <QCoreApplication>
#include <QDate>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QStringList>
#include <QThread>

#include <csignal>
#include <fcntl.h>
#include <functional>
#include <optional>
#include <stdlib.h>
#include <unistd.h>
#include <vector>

namespace e2e {

// A pseudo-terminal pair; the program opens the device end by its path
// (INI "Ports"), the test keeps the other end open and may ignore it.
class Pty {
public:
    Pty()
    {
        m_master = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
        if (m_master >= 0 && ::grantpt(m_master) == 0 && ::unlockpt(m_master) == 0)
            m_device = QString::fromLocal8Bit(::ptsname(m_master));
    }
    ~Pty()
    {
        if (m_master >= 0)
            ::close(m_master);
    }
    Pty(const Pty&) = delete;
    Pty& operator=(const Pty&) = delete;

    QString device() const { return m_device; }

private:
    int m_master = -1;
    QString m_device;
};

// One line of the trace log, cut into the fields the tests look at.
struct TraceLine {
    QString text;
    QString evtNo;
    QString kind;
    QString state;
    // The event the Id field stands for, when the line has one.
    std::optional<EventClass> event;
};

inline QString field(const QString& line, TraceRecord::Field f)
{
    return line.mid(TraceRecord::position(f), TraceRecord::width(f)).trimmed();
}

inline QString traceFile(const QString& programFolder)
{
    return programFolder + QStringLiteral("/Trace/") + QDate::currentDate().toString(QStringLiteral("yyyyMMdd"))
        + QStringLiteral(".log");
}

inline std::vector<TraceLine> readTrace(const QString& programFolder)
{
    std::vector<TraceLine> lines;
    QFile f(traceFile(programFolder));
    if (!f.open(QIODevice::ReadOnly))
        return lines;
    const QString all = plat::Cp1252::decode(f.readAll());
    for (const QString& text : all.split(QStringLiteral("\r\n"), Qt::SkipEmptyParts)) {
        TraceLine l;
        l.text = text;
        l.evtNo = field(text, TraceRecord::EvtNo);
        l.kind = field(text, TraceRecord::Kind);
        l.state = field(text, TraceRecord::State);
        bool hex = false;
        const uint id = field(text, TraceRecord::Id).toUInt(&hex, 16);
        if (hex) {
            EventClass ev;
            ev.setID(qint32(id));
            l.event = ev;
        }
        lines.push_back(l);
    }
    return lines;
}

// The lines of events on that channel with that code (any module when module is 0).
inline std::vector<TraceLine> eventLines(const std::vector<TraceLine>& lines, int chnl, int aff, int module = 0)
{
    std::vector<TraceLine> found;
    for (const TraceLine& l : lines)
        if (l.event && l.event->Chnl() == chnl && l.event->Aff() == aff && (module == 0 || l.event->Panel() == module))
            found.push_back(l);
    return found;
}

// The lines with those words in the Kind and State fields (the station's own
// events carry no Id: "APPLI" "START" is the program's start, "COMM" "START"
// polling's, and so on).
inline std::vector<TraceLine> wordLines(const std::vector<TraceLine>& lines, const QString& kind, const QString& state)
{
    std::vector<TraceLine> found;
    for (const TraceLine& l : lines)
        if (l.kind == kind && l.state == state)
            found.push_back(l);
    return found;
}

// Waits for ready, keeping this process's loop alive; false after ms.
inline bool waitFor(const std::function<bool()>& ready, int ms)
{
    QElapsedTimer t;
    t.start();
    while (!ready()) {
        if (t.elapsed() > ms)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(20);
    }
    return true;
}

// A folder holding a copy of the executable and its database, which becomes
// the program's folder when it runs from there. The libraries come through
// the registry the test harness keeps (PLX_REGISTRY_FILE is inherited).
inline bool makeProgramFolder(const QString& folder)
{
    const QString bin = testing_support::binFolder();
    return QDir().mkpath(folder) && QFile::copy(bin + QStringLiteral("/PLX2"), folder + QStringLiteral("/PLX2"))
        && QFile::copy(bin + QStringLiteral("/PLX2.cfg"), folder + QStringLiteral("/PLX2.cfg"))
        && QFile::setPermissions(folder + QStringLiteral("/PLX2"), QFile::permissions(bin + QStringLiteral("/PLX2")));
}

inline void startHeadless(QProcess& p, const QString& program, const QStringList& args, const QString& folder)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    p.setProcessEnvironment(env);
    p.setWorkingDirectory(folder);
    p.start(program, args);
}

// The module simulator program, serving on a pseudo-terminal that it links
// at a path, its -v log kept; it is ended (a stop request, then killed) when
// this goes.
class SimulatorProgram {
public:
    SimulatorProgram() = default;
    ~SimulatorProgram() { stop(); }
    SimulatorProgram(const SimulatorProgram&) = delete;
    SimulatorProgram& operator=(const SimulatorProgram&) = delete;

    // Starts it with "--link link", then args and "-v"; true once the link is there.
    bool start(const QString& link, const QStringList& args, const QString& folder)
    {
        QObject::connect(&m_process, &QProcess::readyReadStandardError,
                         [this] { m_log += m_process.readAllStandardError(); });
        startHeadless(m_process, testing_support::binFolder() + QStringLiteral("/modsim"),
                      QStringList{QStringLiteral("--link"), link} + args + QStringList{QStringLiteral("-v")}, folder);
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

// Appends "[section]" key=value in the program's INI form (CRLF lines) to a
// profile file that does not have the section yet.
inline bool appendIniSection(const QString& file, const QString& section, const QStringList& keyValues)
{
    QFile f(file);
    if (!f.open(QIODevice::Append))
        return false;
    QByteArray text = "[" + plat::Cp1252::encode(section) + "]\r\n";
    for (const QString& kv : keyValues)
        text += plat::Cp1252::encode(kv) + "\r\n";
    return f.write(text) == text.size();
}

// One request of the simulator's -v log: "modsim: <seconds> > <hex>  ...".
struct Request {
    double at = 0;
    int address = 0;
    bool switchedOff = false;
    // Function, first register and count (or value) of the request, as the
    // hexadecimal bytes after the address: "03 00 90 00 01".
    QString head;
    bool answered = false;
};

inline std::vector<Request> requests(const QString& simulatorLog)
{
    static const QRegularExpression re(
        QStringLiteral("^modsim: (\\d+\\.\\d+) > ([0-9A-F]{2}) ((?:[0-9A-F]{2} ){4}[0-9A-F]{2})[^\\n]*$"),
        QRegularExpression::MultilineOption);
    std::vector<Request> found;
    for (auto it = re.globalMatch(simulatorLog); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        found.push_back({m.captured(1).toDouble(), m.captured(2).toInt(nullptr, 16),
                         m.captured(0).contains(QStringLiteral("(switched off)")), m.captured(3),
                         m.captured(0).contains(QStringLiteral("  < "))});
    }
    return found;
}

} // namespace e2e
