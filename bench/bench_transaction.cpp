// bench_transaction: 1000 reads of one register from the module simulator over
// a pseudo-terminal, through the real serial control and frame routines. Prints
// the mean time of a transaction beyond the 25 ms pause before each frame and
// beyond the line time that the simulator emulates; that overhead must stay
// under 1 ms. Run from the build's bin folder (it starts ./modsim beside it).

#include "platform/AppIdentity.h"
#include "platform/ProfileFile.h"
#include "platform/RtError.h"
#include "platform/SerialPort.h"
#include "program/bus/BusConstants.h"
#include "program/bus/CommFunctions.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <dlfcn.h>
#include <vector>

namespace {

constexpr int Transactions = 1000;
constexpr int Baud = 9600;
constexpr int BitsPerChar = 10;

// A pseudo-terminal has no line rate, so the simulator emulates it: the
// 8 characters of the request, 3.5 characters of silence, then the 7
// characters of a one-word reply.
constexpr double LineTimeMs = (8 + 3.5 + 7) * BitsPerChar * 1000.0 / Baud;

bool registerLibrary(const QString& binFolder)
{
    const QByteArray file = (binFolder + "/libVexLib22.so").toLocal8Bit();
    void* handle = ::dlopen(file.constData(), RTLD_NOW | RTLD_LOCAL);
    if (!handle) {
        std::fprintf(stderr, "bench_transaction: %s\n", ::dlerror());
        return false;
    }
    auto reg = reinterpret_cast<int32_t (*)()>(::dlsym(handle, "DllRegisterServer"));
    return reg && reg() == 0;
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const QString binFolder = QCoreApplication::applicationDirPath();
    QTemporaryDir work;
    // Nothing is written beside the binaries: registry store and INI file live in a scratch folder.
    qputenv("PLX_REGISTRY_FILE", (work.path() + "/Registry.ini").toLocal8Bit());
    plat::AppIdentity::setProgramFolder(work.path());
    if (!registerLibrary(binFolder))
        return 2;

    const QString link = work.path() + "/bus";
    QProcess sim;
    sim.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    sim.start(binFolder + "/modsim",
              {"--link", link, "--modules", "1:1", "--baud", QString::number(Baud)});
    if (!sim.waitForStarted(5000)) {
        std::fprintf(stderr, "bench_transaction: cannot start %s/modsim\n", qPrintable(binFolder));
        return 2;
    }
    for (int i = 0; i < 500 && !QFileInfo::exists(link); ++i)
        QThread::msleep(10);

    int rc = 0;
    try {
        plat::ProfileFile::writeString("Ports", "COM1", link, plat::AppIdentity::programFile(".ini"));
        plat::SerialPort port;
        port.setCommPort(1);
        port.setSettings(QString("%1,N,8,1").arg(Baud));
        port.setPortOpen(true);

        QVector<qint16> word(1);
        for (int i = 0; i < 10; ++i)
            CommFunctions::LitMots(port, 1, Bus::RegHorn, word);

        using clock = std::chrono::steady_clock;
        std::vector<double> ms;
        ms.reserve(Transactions);
        int failures = 0;
        for (int i = 0; i < Transactions; ++i) {
            const auto t0 = clock::now();
            if (!CommFunctions::LitMots(port, 1, Bus::RegHorn, word))
                ++failures;
            ms.push_back(std::chrono::duration<double, std::milli>(clock::now() - t0).count());
        }
        double sum = 0;
        for (double v : ms)
            sum += v;
        const double mean = sum / Transactions;
        std::sort(ms.begin(), ms.end());
        const double overhead = mean - Bus::FramePauseMs - LineTimeMs;
        std::printf("transactions: %d (%d failed), %d baud, emulated line time %.3f ms\n", Transactions, failures,
                    Baud, LineTimeMs);
        std::printf("mean %.3f ms, median %.3f ms, 99th percentile %.3f ms, max %.3f ms\n", mean,
                    ms[Transactions / 2], ms[Transactions * 99 / 100], ms.back());
        std::printf("mean beyond the %d ms pause and the line time: %.3f ms (goal: under 1 ms) %s\n",
                    Bus::FramePauseMs, overhead, overhead < 1.0 && failures == 0 ? "OK" : "TOO SLOW");
        rc = overhead < 1.0 && failures == 0 ? 0 : 1;
    } catch (const plat::RtError& e) {
        std::fprintf(stderr, "bench_transaction: %s\n", e.what());
        rc = 2;
    }
    sim.terminate();
    if (!sim.waitForFinished(3000))
        sim.kill();
    return rc;
}
