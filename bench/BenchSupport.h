#pragma once
// Shared by the benchmarks that run the engine against the module simulator
// program: the libraries registered in a store of the bench's own, and the
// simulator program found beside the bench.

#include <QCoreApplication>
#include <QFileInfo>
#include <QString>

#include "platform/Guard.h"

#include <cstdint>
#include <cstdio>
#include <dlfcn.h>

namespace bench {

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

} // namespace bench
