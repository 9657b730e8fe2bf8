#pragma once
// Stands in for the engine's raw event printer: it keeps its three settings.

#include "program/bus/EnginePrinter.h"

class StandInEnginePrinter : public EnginePrinter {
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
