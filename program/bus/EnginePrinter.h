#pragma once
// The raw event printer as the engine holds it (dpPrinter): its port, its line
// settings and whether a line feed follows each line. The printer itself
// belongs to the event handling layer, which installs its factory; until then
// the engine holds a stand-in that only keeps the three settings.

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

class EnginePrinterStandIn : public EnginePrinter {
public:
    QString Port() const override { return m_port; }
    void setPort(const QString& port) override { m_port = port; }
    QString Settings() const override { return m_settings; }
    void setSettings(const QString& settings) override { m_settings = settings; }
    bool AddLF() const override { return m_addLF; }
    void setAddLF(bool on) override { m_addLF = on; }

private:
    QString m_port;
    QString m_settings;
    bool m_addLF = false;
};
