#pragma once
// Serial ports by number, some of which exist: a serial control whose open
// fails for a number without a device, as the real one does, and which
// writes down what is done to it. The line (the ports that exist and the
// journal) outlives the engine form that owns the control.

#include "platform/RtError.h"
#include "platform/SerialControl.h"
#include "platform/SerialPort.h"

#include <QStringList>

#include <memory>
#include <set>

class NumberedPorts : public plat::SerialControl {
public:
    struct Line {
        std::set<int> existing{1, 2};
        QStringList journal;
        // The control as it is now.
        int port = 1;
        QString settings = QStringLiteral("9600,N,8,1");
        bool open = false;
    };

    explicit NumberedPorts(std::shared_ptr<Line> line) : m(std::move(line)) {}

    int CommPort() const override { return m->port; }
    void setCommPort(int port) override
    {
        if (m->open)
            throw plat::RtError(8005, QStringLiteral("Port already open"));
        m->port = port;
    }
    QString Settings() const override { return m->settings; }
    void setSettings(const QString& settings) override
    {
        plat::LineSettings parsed;
        if (!plat::LineSettings::parse(settings, parsed))
            throw plat::RtError(plat::rt::InvalidPropertyValue, QStringLiteral("Invalid property value"));
        m->settings = settings;
        m->journal << QStringLiteral("settings %1 %2").arg(m->port).arg(settings);
    }
    bool PortOpen() const override { return m->open; }
    void setPortOpen(bool open) override
    {
        if (!open) {
            if (m->open)
                m->journal << QStringLiteral("close %1").arg(m->port);
            m->open = false;
            return;
        }
        if (m->open)
            throw plat::RtError(8005, QStringLiteral("Port already open"));
        if (!m->existing.count(m->port)) {
            m->journal << QStringLiteral("no COM%1").arg(m->port);
            throw plat::RtError(plat::rt::FileNotFound, QStringLiteral("Cannot open serial port COM%1").arg(m->port));
        }
        m->open = true;
        m->journal << QStringLiteral("open %1").arg(m->port);
    }
    bool RTSEnable() const override { return false; }
    void setRTSEnable(bool) override {}
    int InBufferCount() const override { return 0; }
    void setInBufferCount(int) override {}
    int OutBufferCount() const override { return 0; }
    void setOutBufferCount(int) override {}
    void Output(const QByteArray&) override {}
    QByteArray Input() override { return {}; }

private:
    std::shared_ptr<Line> m;
};
