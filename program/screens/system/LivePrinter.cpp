#include "program/screens/system/LivePrinter.h"

#include "program/core/Config.h"
#include "program/core/EnginePrinter.h"
#include "program/screens/system/PrinterSettings.h"

namespace LivePrinter {

QString TestLine()
{
    return QStringLiteral("***** TEST *****").repeated(5);
}

Test TestPrint(EnginePrinter& live, const QString& settings, QString& error)
{
    const QString port = live.Port();
    const QString lineSettings = live.Settings();
    const bool wasOpen = live.Handle() != 0;
    live.ClosePrinter();

    Test result = Test::NotOpened;
    error.clear();
    if (Config::TestPrintPort(settings)) {
        error = live.OpenPrinter(PrinterSettings::PortPart(settings), PrinterSettings::SettingsPart(settings), true);
        if (error.isEmpty())
            error = live.PrintLine(TestLine());
        live.ClosePrinter();
        result = error.isEmpty() ? Test::Sent : Test::Failed;
    }

    live.setPort(port);
    live.setSettings(lineSettings);
    if (wasOpen)
        live.OpenPrinter(QString(), QString(), false);
    return result;
}

void Configure(EnginePrinter& live, const QString& settings)
{
    live.ClosePrinter();
    live.setPort(PrinterSettings::PortPart(settings));
    live.setSettings(PrinterSettings::SettingsPart(settings));
    // The engine's printer ends its lines so; one that failed its start-up
    // test was left without it.
    live.setAddLF(true);
    if (!live.Port().isEmpty())
        live.OpenPrinter(QString(), QString(), false);
}

} // namespace LivePrinter
