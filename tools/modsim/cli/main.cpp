// modsim: the module simulator on a pseudo-terminal, for the demo and the
// end-to-end tests. See tools/modsim/README.md.

#include "tools/modsim/ModuleList.h"
#include "tools/modsim/PtyServer.h"
#include "tools/modsim/RandomEvents.h"
#include "tools/modsim/SimScript.h"
#include "tools/modsim/Simulator.h"

#include <QCoreApplication>
#include <QFile>
#include <QStringList>

#include <atomic>
#include <csignal>
#include <cstdio>
#include <memory>
#include <optional>

namespace {

std::atomic<bool> g_stop{false};

void onSignal(int)
{
    g_stop.store(true);
}

void say(const QString& text)
{
    std::fprintf(stderr, "modsim: %s\n", text.toLocal8Bit().constData());
    std::fflush(stderr);
}

const char* const kUsage =
    "usage: modsim (--link PATH | --device DEVICE) [options]\n"
    "  --link PATH            create a pseudo-terminal pair; PATH becomes a link to the panel's end\n"
    "  --device DEVICE        serve an existing device (for example /dev/pts/N)\n"
    "  --modules LIST         address:model pairs, each address once, default \"1:1,2:2,3:3,4:4,5:5\"\n"
    "  --baud N               emulate the line time at N baud\n"
    "  --stop-bits 1|2        with --baud: 10 or 11 bits a character (default 1)\n"
    "  --script FILE          timed actions (see README.md)\n"
    "  --random-events SECS   an event on a random model 1 or 3 module about every SECS seconds\n"
    "  -v                     log every request and reply to stderr\n";

QString hex(const QByteArray& bytes)
{
    return QString::fromLatin1(bytes.toHex(' ').toUpper());
}

bool parseModules(const QString& text, modsim::Simulator& sim, QString* error)
{
    const auto modules = modsim::parseModuleList(text, error);
    if (!modules) {
        *error = QStringLiteral("bad --modules: %1").arg(*error);
        return false;
    }
    for (const modsim::ModuleSpec& m : *modules)
        sim.addModule(m.address, m.model);
    return true;
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments();
    args.removeFirst();

    QString link;
    QString device;
    QString modules = QStringLiteral("1:1,2:2,3:3,4:4,5:5");
    QString scriptFile;
    int baud = 0;
    int stopBits = 1;
    double randomSeconds = 0;
    bool verbose = false;

    for (int i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        auto value = [&]() -> std::optional<QString> {
            if (i + 1 >= args.size())
                return std::nullopt;
            return args[++i];
        };
        std::optional<QString> v;
        bool ok = true;
        if (a == QLatin1String("-v") || a == QLatin1String("--verbose")) {
            verbose = true;
            continue;
        }
        if (a == QLatin1String("-h") || a == QLatin1String("--help")) {
            std::fputs(kUsage, stdout);
            return 0;
        }
        v = value();
        if (!v) {
            std::fprintf(stderr, "modsim: %s needs a value\n%s", a.toLocal8Bit().constData(), kUsage);
            return 2;
        }
        if (a == QLatin1String("--link"))
            link = *v;
        else if (a == QLatin1String("--device"))
            device = *v;
        else if (a == QLatin1String("--modules"))
            modules = *v;
        else if (a == QLatin1String("--script"))
            scriptFile = *v;
        else if (a == QLatin1String("--baud"))
            baud = v->toInt(&ok);
        else if (a == QLatin1String("--stop-bits"))
            stopBits = v->toInt(&ok);
        else if (a == QLatin1String("--random-events"))
            randomSeconds = v->toDouble(&ok);
        else {
            std::fprintf(stderr, "modsim: unknown option %s\n%s", a.toLocal8Bit().constData(), kUsage);
            return 2;
        }
        if (!ok || baud < 0 || (stopBits != 1 && stopBits != 2) || randomSeconds < 0) {
            std::fprintf(stderr, "modsim: bad value for %s\n", a.toLocal8Bit().constData());
            return 2;
        }
    }
    if (link.isEmpty() == device.isEmpty()) {
        std::fprintf(stderr, "modsim: give one of --link and --device\n%s", kUsage);
        return 2;
    }

    modsim::Simulator sim;
    QString error;
    if (!parseModules(modules, sim, &error)) {
        say(error);
        return 2;
    }
    sim.setLineSpeed(baud, stopBits == 2 ? 11 : 10);

    modsim::SimScript script;
    if (!scriptFile.isEmpty()) {
        QFile f(scriptFile);
        if (!f.open(QIODevice::ReadOnly)) {
            say(QStringLiteral("cannot read %1").arg(scriptFile));
            return 2;
        }
        if (!script.parse(QString::fromUtf8(f.readAll()), &error)) {
            say(QStringLiteral("%1: %2").arg(scriptFile, error));
            return 2;
        }
    }
    std::unique_ptr<modsim::RandomEvents> random;
    if (randomSeconds > 0)
        random = std::make_unique<modsim::RandomEvents>(sim, randomSeconds);

    if (verbose) {
        const qint64 originUs = plat::systemClock().nowMs() * 1000;
        sim.setObserver([originUs](const modsim::Exchange& x) {
            QString line = QStringLiteral("%1 > %2").arg((x.atUs - originUs) / 1e6, 0, 'f', 3).arg(hex(x.request));
            if (!x.reply.isEmpty())
                line += QStringLiteral("  < %1").arg(hex(x.reply));
            if (!x.note.isEmpty())
                line += QStringLiteral("  (%1)").arg(x.note);
            say(line);
        });
    }

    struct sigaction sa{};
    sa.sa_handler = onSignal;
    sigemptyset(&sa.sa_mask);
    sa.sa_flags = 0; // no restart: poll returns at once
    sigaction(SIGINT, &sa, nullptr);
    sigaction(SIGTERM, &sa, nullptr);
    std::signal(SIGPIPE, SIG_IGN);

    modsim::PtyServer server(sim);
    const bool opened = link.isEmpty() ? server.openDevice(device, &error) : server.openLink(link, &error);
    if (!opened) {
        say(error);
        return 1;
    }
    say(QStringLiteral("serving %1%2, modules %3%4")
            .arg(server.panelDevice(), link.isEmpty() ? QString() : QStringLiteral(" as ") + link, modules,
                 baud > 0 ? QStringLiteral(", %1 baud").arg(baud) : QString()));

    qint64 startMs = -1;
    const bool ran = server.run(g_stop, [&](qint64 nowMs) {
        if (startMs < 0)
            startMs = nowMs;
        QStringList warnings;
        script.runDue(sim, nowMs - startMs, &warnings);
        for (const QString& w : warnings)
            say(QStringLiteral("%1: %2").arg(scriptFile, w));
        if (random) {
            if (auto what = random->tick(nowMs); what && verbose)
                say(*what);
        }
    }, &error);
    server.close();
    if (!ran) {
        say(error);
        return 1;
    }
    say(QStringLiteral("stopped"));
    return 0;
}
