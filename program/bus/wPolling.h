#pragma once
// The bus engine form: loaded hidden at start-up and kept for the whole run,
// it owns the serial control CommBus, the engine's timers and the engine
// itself (PollingEngine), and doubles as the bus monitor window with its grid
// of error counters. Other forms reach it by name ("wPolling") through the
// form registry; the core through PollingLink.

#include "program/bus/EngineTimers.h"
#include "program/bus/PollingEngine.h"
#include "program/core/Limits.h"
#include "program/core/PollingLink.h"

#include "platform/ControlArray.h"
#include "platform/FlexGrid.h"
#include "platform/Form.h"
#include "platform/FormTimer.h"
#include "platform/PictureButton.h"

#include <functional>
#include <memory>

class QLabel;

class wPolling : public plat::Form, public PollingLink {
    Q_OBJECT

public:
    // The grid: a header row and one row per module; column widths in twips.
    static constexpr int GridRows = Limits::Modules + 1;
    static constexpr int GridColumn0Twips = 700;
    static constexpr int GridColumn1Twips = 7300;
    static constexpr int MidnightIntervalMs = 1000;
    static constexpr int ReactivIntervalMs = 10000;
    // tmrPoll's interval until polling is first started.
    static constexpr int PollIntervalAtLoadMs = 1;
    // The navigation button that closes the monitor window.
    static constexpr int NavigClose = 5;
    // The rows the page buttons of the grid scroll by.
    static constexpr int ScrollPage = 10;

    // The serial control each new engine form opens (the program's assembly
    // installs the real serial port); without one the form cannot be made
    // (run-time error 91).
    using PortFactory = std::function<std::unique_ptr<plat::SerialControl>()>;
    static void setPortFactory(PortFactory factory);

    wPolling();
    ~wPolling() override;

    // ---- Public members, in their order ----
    plat::ComPtr<Stillmark::_ActivityDetect> UserSleep() const { return m_engine.UserSleep(); }
    void setUserSleep(plat::ComPtr<Stillmark::_ActivityDetect> detector) { m_engine.setUserSleep(std::move(detector)); }
    EnginePrinterPtr dpPrinter() const { return m_engine.dpPrinter(); }
    void setdpPrinter(EnginePrinterPtr printer) { m_engine.setdpPrinter(std::move(printer)); }
    bool Run() const override { return m_engine.Run(); }
    void setRun(bool value) override { m_engine.setRun(value); }
    void ReinitComm() { m_engine.ReinitComm(); }
    void ConfigurationChanged() { m_engine.ConfigurationChanged(); }
    void SendCommand(const CommandPtr& cmd) { m_engine.SendCommand(cmd); }
    void SendEvent(EventClass& evt) { m_engine.SendEvent(evt); }
    void StartUpdate() { m_engine.StartUpdate(); }
    void SynchroGeneraleBus() { m_engine.SynchroGeneraleBus(); }
    void MidnightSynchro() { m_engine.MidnightSynchro(); }
    void TraiteCommande(CommandClass& cmd) { m_engine.TraiteCommande(cmd); }
    void UpdatePanel(qint16 module, bool flag) { m_engine.UpdatePanel(module, flag); }
    void HistoBusState() { m_engine.HistoBusState(); }
    void PrintBusState() { m_engine.PrintBusState(); }
    void ClockChanged() { m_engine.ClockChanged(); }

    // ---- PollingLink ----
    void SendStationEvent(qint16 aff) override;
    bool PortOpen() const override;
    void RunWhenPortOpens() override { m_engine.RunWhenPortOpens(); }

    PollingEngine& engine() { return m_engine; }
    EngineTimers& timers() { return m_timers; }
    plat::SerialControl& CommBus() { return *m_commBus; }

    // ---- Life cycle and handlers ----
    void Form_Load() override;
    void Form_Activate() override;
    bool Form_QueryUnload(plat::UnloadMode mode) override;
    void Form_Unload() override;
    // The engine form keeps its fixed captions: it is translated by nobody.
    void Nationality() override {}
    void tmrPoll_Timer();
    void tmrMidnight_Timer();
    void tmrReactiv_Timer();
    void UserSleep_UserIsNotHere();
    void imgStopRun_Click(int index);
    void imgReinit_Click();
    void imgControl_Click(int index);
    void imgNavig_Click(int index);

    // ---- Controls ----
    plat::FormTimer* tmrPoll = nullptr;
    plat::FormTimer* tmrMidnight = nullptr;
    plat::FormTimer* tmrReactiv = nullptr;
    plat::FlexGrid* grdErrors = nullptr;
    QLabel* lblPanel = nullptr;
    QLabel* lblTime = nullptr;
    // The bus settings: port number, speed, parity, data bits, stop bits.
    QLabel* lblPort = nullptr;
    QLabel* lblSpeed = nullptr;
    QLabel* lblParity = nullptr;
    QLabel* lblDataBits = nullptr;
    QLabel* lblStopBits = nullptr;
    plat::ControlArray<plat::PictureButton> imgStopRun{QStringLiteral("imgStopRun")};
    plat::PictureButton* imgReinit = nullptr;
    plat::ControlArray<plat::PictureButton> imgControl{QStringLiteral("imgControl")};
    plat::ControlArray<plat::PictureButton> imgNavig{QStringLiteral("imgNavig")};

signals:
    void WriteError(const CommandClass& cmd);
    void BusEvent(const EventClass& evt);
    void PanelMove(bool present, qint16 module, qint32 evtNum, qint32 id);
    void PollDone();
    void UpdateDone();

protected:
    void changeEvent(QEvent* event) override;

private:
    static std::unique_ptr<plat::SerialControl> newPort();
    void buildControls();
    void fillGridHeader();
    void showRunIndicator(bool running);
    void showBusSettings();

    std::unique_ptr<plat::SerialControl> m_commBus;
    std::unique_ptr<PollTimer> m_pollTimer;
    PollingEngine m_engine;
    EngineTimers m_timers{m_engine};
};
