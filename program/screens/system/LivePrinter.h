#pragma once
// What the printer settings do with the live printer, the engine's event
// printer: a test line printed with settings not yet stored, after which the
// printer has its port, its settings and its open state back, and the
// reconfiguration once new settings are stored.

#include <QString>

class EnginePrinter;

namespace LivePrinter {

// "***** TEST *****" five times: one line of 80 characters.
QString TestLine();

enum class Test {
    NotOpened, // the port did not open (the port test has said so)
    Sent,
    Failed // opened, but the line did not go: error() tells why
};

// Prints the test line on the printer of the settings text, with the live
// printer, closing the port after the line; the live printer is then as it was.
Test TestPrint(EnginePrinter& live, const QString& settings, QString& error);

// Puts the live printer on the stored settings text: closed, the new port
// and settings, lines ending in a line feed too, and opened again when it
// has a port.
void Configure(EnginePrinter& live, const QString& settings);

} // namespace LivePrinter
