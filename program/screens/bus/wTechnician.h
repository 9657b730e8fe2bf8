#pragma once
// The technician's control panel for the bus: a module selector (0 for every
// module), polling stopped and started, the maintenance commands (module
// reset, counter reset, lamp test), the synchronisation passes and the
// midnight file actions at once, the copy of the trace logs, and the bus
// scan, the live state of a module, the out-of-service screen and the bus
// monitor. A pair of images blinks at every polling round. It saves nothing
// but its module, in "General"/"TechPanel".

#include "platform/ControlArray.h"
#include "platform/Form.h"
#include "platform/PictureButton.h"

#include <QMetaObject>

#include <vector>

class QLabel;
class QPushButton;

namespace plat {
class Label;
}

class wTechnician : public plat::Form {
    Q_OBJECT
public:
    static constexpr int NavigLeave = 0;
    // imgStopRun: 0 shows while polling runs (stops it), 1 while it is
    // stopped (starts it); 2 marks a synchronisation pass.
    static constexpr int StopRunStop = 0;
    static constexpr int StopRunRun = 1;
    static constexpr int StopRunSynchro = 2;

    wTechnician();

    // The selected module, 0 for every module.
    int Module() const;

    void Form_Load() override;
    void Form_Unload() override;
    void Nationality() override;
    void VisiButtons();
    void lblNumero_Change();
    void imgControl_Click(int index);
    void imgStopRun_Click(int index);
    void imgCommWatch_Click();
    void imgNavig_Click(int index);
    void cmdTestLeds_Click();
    void cmdRazCptr_Click();
    void cmdPanelReset_Click();
    void cmdFindPanels_Click();
    void cmdPanelState_Click();
    void cmdPerturb_Click();
    void cmdSynchroBus_Click();
    void cmdForceHisto_Click();
    void cmdCopyTraces_Click();
    void cmdSynchroMinuit_Click();
    void mwPolling_PollDone();
    void mwPolling_UpdateDone() {}
    // Polling started or stopped, by whoever: the stop/run pictures show the
    // engine's state as it now reads.
    void mwPolling_RunIndicator(bool running);

    plat::ControlArray<QLabel> lblLabels{QStringLiteral("lblLabels")};
    plat::Label* lblNumero = nullptr;
    QLabel* lblPanelType = nullptr;
    QPushButton* cmdTestLeds = nullptr;
    QPushButton* cmdRazCptr = nullptr;
    QPushButton* cmdFindPanels = nullptr;
    QPushButton* cmdPanelState = nullptr;
    QPushButton* cmdPanelReset = nullptr;
    QPushButton* cmdPerturb = nullptr;
    QPushButton* cmdSynchroBus = nullptr;
    QPushButton* cmdForceHisto = nullptr;
    QPushButton* cmdCopyTraces = nullptr;
    QPushButton* cmdSynchroMinuit = nullptr;
    plat::ControlArray<plat::PictureButton> imgControl{QStringLiteral("imgControl")};
    plat::ControlArray<plat::PictureButton> imgStopRun{QStringLiteral("imgStopRun")};
    plat::ControlArray<QLabel> imgComm{QStringLiteral("imgComm")};
    plat::PictureButton* imgCommWatch = nullptr;
    plat::ControlArray<plat::PictureButton> imgNavig{QStringLiteral("imgNavig")};

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void buildControls();
    QPushButton* command(const char* name, int tag, int column, int row, void (wTechnician::*handler)());
    void bindPolling();
    void releasePolling();
    void showStopRun(bool running);
    // The maintenance write to the selected module, asked first when question is not 0.
    void maintenance(int reg, short value, int question);
    // A modal child screen by name, owned by this one; false when this
    // screen was unloaded while it was open (nothing of it may run then).
    bool showChild(const QString& name);

    std::vector<QMetaObject::Connection> m_mwPolling;
};
