#pragma once
// The raw line printer as the program holds it: the engine's event printer
// (wPolling.dpPrinter), the short-lived printers of the port test and the
// printer settings. Its members are those of the printer class of the event
// handling layer, in their order; that layer installs the factory at
// start-up, so that the core and the engine can make printers without naming
// it. Texts cross as text; a printed line is converted to the printer's code
// page by AnsiToOem before it is printed.

#include <QByteArray>
#include <QString>

#include <functional>
#include <memory>

class EnginePrinter {
public:
    virtual ~EnginePrinter() = default;

    // A line feed after the carriage return of each printed line.
    virtual bool AddLF() const = 0;
    virtual void setAddLF(bool on) = 0;
    // Serial settings "9600,N,8,1"; stored only, used at the next open.
    virtual QString Settings() const = 0;
    virtual void setSettings(const QString& settings) = 0;
    // The open port's handle, 0 when closed.
    virtual qint32 Handle() const = 0;
    // "LPT<n>", "COM<n>" or "" (which closes the port); any other value
    // raises 380. Another name while open reopens the port on it.
    virtual QString Port() const = 0;
    virtual void setPort(const QString& port) = 0;
    // Opens the port (a non-empty argument replaces the stored port or
    // settings): "" or the system's error text.
    virtual QString OpenPrinter(const QString& port, const QString& settings, bool closeAfter) = 0;
    virtual void ClosePrinter() = 0;
    virtual QString PrintString(const QString& text) = 0;
    virtual QString PrintData(const QByteArray& bytes) = 0;
    // One line, the port opened as needed: "" or an error text.
    virtual QString PrintLine(const QString& text) = 0;
    virtual QString AnsiToOem(const QString& text) const = 0;

    using Factory = std::function<std::shared_ptr<EnginePrinter>()>;
    // Installs the factory of new printers (an empty one removes it).
    static void setFactory(Factory factory);
    // A new printer, closed; none while no factory is installed.
    static std::shared_ptr<EnginePrinter> New();
};

using EnginePrinterPtr = std::shared_ptr<EnginePrinter>;
