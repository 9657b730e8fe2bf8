#pragma once
// What the benchmarks share: a scratch program folder (nothing is written
// beside the binaries) with its own registry store, the function library
// registered in it and a copy of the configuration database opened; the
// libraries registered in a store of the bench's own and the simulator program
// found beside the bench, for the benchmarks that run the engine against it;
// the timing of a series of runs; a full configuration to measure with.

#include "platform/AppIdentity.h"
#include "platform/Guard.h"
#include "platform/Regional.h"
#include "program/bus/ConfigAccess.h"
#include "program/bus/EventClass.h"
#include "program/core/Config.h"
#include "program/core/ConfigClass.h"
#include "program/core/Globals.h"
#include "program/core/MirrorClasses.h"
#include "program/core/PanelClass.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QString>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <dlfcn.h>
#include <vector>

namespace bench {

// The median, the 95th percentile and the worst of a series of runs, in ms.
struct Timing {
    double median;
    double p95;
    double worst;
};

// Times f in each of runs runs; after, untimed, prepares the next one.
template <class F, class G>
Timing measure(int runs, F&& f, G&& after)
{
    std::vector<double> ms;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer t;
        t.start();
        f();
        ms.push_back(double(t.nsecsElapsed()) / 1e6);
        after();
    }
    std::sort(ms.begin(), ms.end());
    return {ms[ms.size() / 2], ms[(ms.size() * 95 + 99) / 100 - 1], ms.back()};
}

template <class F>
Timing measure(int runs, F&& f)
{
    return measure(runs, std::forward<F>(f), [] {});
}

// The program creates the library classes through the registry store:
// register the built libraries in the store given.
inline bool registerLibraries(const QString& binFolder, const QString& store)
{
    qputenv("PLX_REGISTRY_FILE", store.toLocal8Bit());
    for (const char* name : {"libVexLib22.so", "libStillmark.so"}) {
        const QByteArray file = (binFolder + '/' + name).toLocal8Bit();
        void* handle = ::dlopen(file.constData(), RTLD_NOW | RTLD_LOCAL);
        if (!handle)
            return false;
        auto reg = reinterpret_cast<int32_t (*)()>(::dlsym(handle, "DllRegisterServer"));
        if (!reg || reg() != 0)
            return false;
    }
    return true;
}

// The simulator program: the first argument, else beside the bench; "" (after
// saying so on stderr) when there is none. Errors of the program's code go to
// stderr from then on.
inline QString findSimulator(int argc, char** argv, const char* benchName)
{
    plat::setErrorReporter([](const QString& name, const plat::RtError& e) {
        std::fprintf(stderr, "error in %s: %d %s\n", qPrintable(name), e.number(), qPrintable(e.description()));
    });
    if (argc > 1)
        return QString::fromLocal8Bit(argv[1]);
    const QString here = QCoreApplication::applicationDirPath();
    for (const QString& p : {here + "/modsim", here + "/../bin/modsim", here + "/bin/modsim"})
        if (QFileInfo(p).isExecutable())
            return QFileInfo(p).canonicalFilePath();
    std::fprintf(stderr, "%s: the modsim program is not found; give its path\n", benchName);
    return {};
}

// Makes work the program folder; false (after saying why) when the library
// or the database of the build's bin folder cannot be had.
inline bool useScratchProgramFolder(const QTemporaryDir& work, const char* name)
{
    const QString binFolder = QCoreApplication::applicationDirPath();
    qputenv("PLX_REGISTRY_FILE", (work.path() + "/Registry.ini").toLocal8Bit());
    plat::AppIdentity::setProgramFolder(work.path());
    plat::AppIdentity::setExeBaseName(QStringLiteral("PLX2"));
    plat::Regional::reset();
    const QByteArray library = (binFolder + "/libVexLib22.so").toLocal8Bit();
    void* handle = ::dlopen(library.constData(), RTLD_NOW | RTLD_LOCAL);
    auto reg = handle ? reinterpret_cast<int32_t (*)()>(::dlsym(handle, "DllRegisterServer")) : nullptr;
    if (!reg || reg() != 0) {
        std::fprintf(stderr, "%s: cannot register %s\n", name, library.constData());
        return false;
    }
    if (!QFile::copy(binFolder + "/PLX2.cfg", work.path() + "/PLX2.cfg") || !Config::OpenConfigBase()) {
        std::fprintf(stderr, "%s: no configuration database in %s\n", name, qPrintable(binFolder));
        return false;
    }
    return true;
}

// 64 modules of 24 channels with texts, 64 library and 48 instruction texts, 200 mirrors.
inline void fillFullConfiguration(ConfigClass& c)
{
    c.setBusSettings("COM1:19200,N,8,1");
    c.setPrtSettings("COM2:9600,N,8,1");
    c.setPrinterName("Epson LX-300");
    for (int m = 1; m <= 64; ++m) {
        auto p = c.Panel(m);
        p->setModel(2);
        p->setTitle(QString("Building %1, floor %2").arg(m).arg(m % 5));
        p->setActive(true);
        for (int k = 1; k <= 24; ++k) {
            auto ch = p->Channel(k);
            ch->setScreenText(QString("Zone %1.%2 smoke detector, east wing").arg(m).arg(k));
            ch->setPrintText(QString("M%1 C%2 SMOKE EAST WING").arg(m).arg(k));
            ch->setAlmPrio(int16_t(k));
            ch->setScrAlm(true);
            ch->setBibNum(int16_t(k));
            ch->setHelpNum(int16_t(k));
        }
    }
    for (int i = 1; i <= 64; ++i)
        c.setBiblio(i, QString("Library text %1").arg(i));
    for (int i = 1; i <= 48; ++i)
        c.setConsigne(i, QString("Instruction %1: ").arg(i) + QString("check the zone and call. ").repeated(40));
    for (int i = 0; i < 200; ++i)
        c.Mirrors()->Add(int16_t(i % 64 + 1), int16_t(i % 25), int16_t((i + 7) % 64 + 1), int16_t(i % 13),
                         int16_t(i % 3));
}

// Eight modules of model 1 whose twelve channels show, record, print and
// sound their events, with library and screen texts; the prefix letters set.
inline void eightModules(ConfigClass& config)
{
    gPanelLetter = QStringLiteral("M");
    gChannelLetter = QStringLiteral("C");
    for (int module = 1; module <= 8; ++module) {
        config.Panel(qint16(module))->setModel(1);
        for (int c = 1; c <= 12; ++c) {
            ChannelClass& ch = *config.Panel(qint16(module))->Channel(qint16(c));
            ch.setScrAlm(true);
            ch.setHisto(true);
            ch.setPrtAlm(true);
            ch.setKlaxon(true);
            ch.setBibNum(qint16(c));
            ch.setScreenText(QStringLiteral("Channel text %1").arg(c));
        }
    }
    for (int b = 1; b <= 12; ++b)
        config.setBiblio(b, QStringLiteral("Library text %1").arg(b));
}

// Event i of a steady mix over those channels: alarms, acknowledgements,
// cable faults and first faults.
inline EventClass channelEvent(int i)
{
    EventClass ev;
    ev.setPanel(qint16(1 + i % 8));
    ev.setChnl(qint16(1 + i % 12));
    ev.setParam(qint16(i % 2));
    ev.setAff(qint16(1 + i % 4));
    ev.setClock(i);
    return ev;
}

} // namespace bench
