#pragma once
// The raw event printer as the engine holds it (dpPrinter): its port, its line
// settings and whether a line feed follows each line. The printer itself
// belongs to the event handling layer, which installs its factory.

#include <QString>

#include <memory>

class EnginePrinter {
public:
    virtual ~EnginePrinter() = default;
    virtual QString Port() const = 0;
    virtual void setPort(const QString& port) = 0;
    virtual QString Settings() const = 0;
    virtual void setSettings(const QString& settings) = 0;
    virtual bool AddLF() const = 0;
    virtual void setAddLF(bool on) = 0;
};

using EnginePrinterPtr = std::shared_ptr<EnginePrinter>;

