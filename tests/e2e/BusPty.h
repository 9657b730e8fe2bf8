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
#include <QString>
#include <QStringList>

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

} // namespace e2e
