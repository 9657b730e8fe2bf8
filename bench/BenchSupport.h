#pragma once
// Shared by the benchmarks: a full configuration to measure with, and a
// scratch program folder beside nothing of the build (registry store, INI
// file, database copy), with the function library registered and the
// configuration database open.

#include "platform/AppIdentity.h"
#include "platform/Regional.h"
#include "program/core/ChannelClass.h"
#include "program/core/Config.h"
#include "program/core/ConfigClass.h"
#include "program/core/MirrorClasses.h"
#include "program/core/PanelClass.h"

#include <QCoreApplication>
#include <QFile>
#include <QString>

#include <cstdio>
#include <dlfcn.h>

namespace bench {

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

// Makes scratch the program folder, registers the build's function library
// in a registry store there and opens a copy of the build's database. False,
// after a message naming the bench, when that cannot be done.
inline bool openScratchProgramFolder(const QString& scratch, const char* benchName)
{
    const QString binFolder = QCoreApplication::applicationDirPath();
    qputenv("PLX_REGISTRY_FILE", (scratch + "/Registry.ini").toLocal8Bit());
    plat::AppIdentity::setProgramFolder(scratch);
    plat::AppIdentity::setExeBaseName(QStringLiteral("PLX2"));
    plat::Regional::reset();
    const QByteArray file = (binFolder + "/libVexLib22.so").toLocal8Bit();
    void* handle = ::dlopen(file.constData(), RTLD_NOW | RTLD_LOCAL);
    auto reg = handle ? reinterpret_cast<int32_t (*)()>(::dlsym(handle, "DllRegisterServer")) : nullptr;
    if (!reg || reg() != 0) {
        std::fprintf(stderr, "%s: cannot register %s\n", benchName, file.constData());
        return false;
    }
    if (!QFile::copy(binFolder + "/PLX2.cfg", scratch + "/PLX2.cfg") || !Config::OpenConfigBase()) {
        std::fprintf(stderr, "%s: no configuration database in %s\n", benchName, qPrintable(binFolder));
        return false;
    }
    return true;
}

} // namespace bench
