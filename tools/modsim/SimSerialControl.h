#pragma once
// The serial control of the panel, played in-process against the simulator on
// any clock (a virtual clock in tests). What the panel writes goes onto the
// simulated line; the reply bytes become readable only once the clock has
// passed the time they take on the line (and any late-reply fault), so the
// panel's waiting code runs unchanged, on virtual time. Nothing happens
// between calls: every call brings the line up to the clock's present.

#include "tools/modsim/Simulator.h"

#include "platform/Clock.h"
#include "platform/RtError.h"
#include "platform/SerialControl.h"

#include <deque>
#include <optional>

namespace modsim {

class SimSerialControl : public plat::SerialControl {
public:
    // The run-time error the panel sees for an operation on a closed port.
    static constexpr int PortNotOpenError = 8018;
    // The run-time error of an open that is made to fail.
    static constexpr int PortOpenFailedError = 8002;
    static constexpr int PortAlreadyOpenError = 8005;
    // What a vanished device gives every operation.
    static constexpr int VanishedError = plat::rt::DeviceUnavailable;

    SimSerialControl(Simulator& simulator, plat::Clock& clock);

    int CommPort() const override { return m_port; }
    void setCommPort(int port) override;
    QString Settings() const override { return m_settings; }
    void setSettings(const QString& settings) override { m_settings = settings; }
    bool PortOpen() const override { return m_open && !m_vanished; }
    void setPortOpen(bool open) override;
    bool DeviceLost() const override { return m_open && m_vanished; }
    bool RTSEnable() const override { return m_rts; }
    void setRTSEnable(bool enable) override;
    int InBufferCount() const override;
    void setInBufferCount(int count) override;
    int OutBufferCount() const override;
    void setOutBufferCount(int count) override;
    void Output(const QByteArray& bytes) override;
    QByteArray Input() override;
    // Moves the clock on (a virtual clock jumps) until more bytes have come in
    // than there were at the call, or timeoutMs has passed.
    bool waitForInput(int timeoutMs) override;

    // Test hooks: make the next opens fail (a missing device), and see what was sent.
    void setOpenFails(bool fails) { m_openFails = fails; }
    // Output waits for the frame to leave the line (as the real port does);
    // off, it returns at once and the frame goes out while the panel goes on.
    void setDrainOnOutput(bool drain) { m_drain = drain; }
    int openCount() const { return m_openCount; }
    // A fault of the line itself, by name as the modules' are: "vanish" n
    // (default 0): the device goes away as the frame after n more goes out;
    // that frame and every operation after it fail with VanishedError,
    // PortOpen reads false and DeviceLost true, until the port is opened or
    // closed again.
    // "none" clears it. False for an unknown name.
    bool setFault(const QString& name, std::optional<int> param = std::nullopt);
    const std::vector<QByteArray>& sentFrames() const { return m_sent; }

private:
    struct Pending {
        qint64 atUs;
        char byte;
    };
    void pump() const;
    void requireOpen() const;
    void requireDevice() const;
    qint64 nowUs() const { return m_clock.nowMs() * 1000; }

    Simulator& m_sim;
    plat::Clock& m_clock;
    int m_port = 1;
    QString m_settings = QStringLiteral("9600,N,8,1");
    bool m_open = false;
    bool m_rts = false;
    bool m_openFails = false;
    bool m_drain = true;
    int m_openCount = 0;
    // Frames still to go out before the device vanishes; -1 for never.
    int m_vanishAfter = -1;
    bool m_vanished = false;
    std::vector<QByteArray> m_sent;
    // The line moves on whenever the panel looks at it, even through a const member.
    mutable std::deque<Pending> m_tx;
    mutable QByteArray m_rx;
    qint64 m_lineFreeUs = 0;
};

} // namespace modsim
