#include "platform/Process.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QPointer>
#include <QProcess>
#include <vector>

namespace plat::Process {

namespace {

constexpr int kTerminateWaitMs = 1000;
constexpr int kKillWaitMs = 1000;

struct Started {
    QString exeName;
    QPointer<QProcess> process;
};

std::vector<Started>& started()
{
    static std::vector<Started> list;
    return list;
}

void prune()
{
    auto& l = started();
    l.erase(std::remove_if(l.begin(), l.end(),
                           [](const Started& s) { return !s.process || s.process->state() == QProcess::NotRunning; }),
            l.end());
}

} // namespace

bool start(const QString& program, const QStringList& arguments, const QString& exeName)
{
    prune();
    // The process object belongs to the application; it goes once the child has ended.
    auto* p = new QProcess(QCoreApplication::instance());
    p->setProgram(program);
    p->setArguments(arguments);
    p->setProcessChannelMode(QProcess::ForwardedChannels);
    p->setInputChannelMode(QProcess::ForwardedInputChannel);
    QObject::connect(p, &QProcess::finished, p, &QObject::deleteLater);
    p->start();
    if (!p->waitForStarted()) {
        delete p;
        return false;
    }
    started().push_back({exeName.isEmpty() ? QFileInfo(program).fileName() : exeName, p});
    return true;
}

int terminateStarted(const QString& exeName)
{
    prune();
    int ended = 0;
    for (const Started& s : started()) {
        if (s.exeName.compare(exeName, Qt::CaseInsensitive) != 0 || !s.process)
            continue;
        QProcess* p = s.process;
        p->terminate();
        if (!p->waitForFinished(kTerminateWaitMs)) {
            p->kill();
            p->waitForFinished(kKillWaitMs);
        }
        ++ended;
    }
    prune();
    return ended;
}

int runningCount(const QString& exeName)
{
    prune();
    int n = 0;
    for (const Started& s : started())
        if (s.exeName.compare(exeName, Qt::CaseInsensitive) == 0)
            ++n;
    return n;
}

} // namespace plat::Process
