#pragma once
// The alarm screen: the operator's run-time screen. A list of the alarms
// still of interest, fed live by the engine's BusEvent, newest on top, each
// row coloured by what it reports; from it the operator acknowledges alarms,
// stops the horn, reads an alarm's instruction, opens the history and the
// remote control, starts and stops polling, logs in, opens the bus monitor
// and leaves to the main window. It also shows the clock, a heartbeat of the
// polling rounds and the numbers of the modules that no longer answer.
// While unloaded its rows wait in INI "LastAlarms". The rules live in
// AlarmRowRules; the engine reaches the screen through AlarmScreenLink.

#include "program/bus/AlarmScreenLink.h"
#include "program/core/FormNames.h"
#include "program/runtime/AlarmRowRules.h"

#include "platform/ControlArray.h"
#include "platform/FlexGrid.h"
#include "platform/Form.h"
#include "platform/FormTimer.h"
#include "platform/PictureButton.h"

#include <QMetaObject>
#include <vector>

class QLabel;
class QLineEdit;

class wRunAlarms : public plat::Form, public AlarmScreenLink {
    Q_OBJECT
public:

    // Navigation buttons, and the grid's scroll buttons (page up, row up,
    // row down, page down).
    static constexpr int NavigLeave = 0;
    static constexpr int NavigLogin = 13;
    static constexpr int ControlPageUp = 4;
    static constexpr int ControlPageDown = 7;
    // The stop/run pictures: stop, run, and the synchronisation mark.
    static constexpr int StopRunStop = 0;
    static constexpr int StopRunRun = 1;
    static constexpr int StopRunSynchro = 2;
    // Missing-module labels follow each other at this many template widths.
    static constexpr double MissingPanelPitch = 1.2;
    static constexpr int DateTimeIntervalMs = 1000;

    wRunAlarms();

    // ---- AlarmScreenLink ----
    int AlarmRowCount() const override;
    QString AlarmRowText(int row) const override;
    qint32 AlarmRowData(int row) const override;
    void mwComm_BusEvent(const EventClass& evt) override;
    void ShowLoginLevel(int level) override;
    void ClearAlarmRows() override;
    void setSynchroMarkVisible(bool visible) override;

    // ---- Handlers ----
    void mwComm_PanelMove(bool present, qint16 module, qint32 evtNum, qint32 id);
    void mwComm_PollDone();
    // Polling started or stopped, by whoever: the stop/run pictures show the
    // engine's state as it now reads.
    void mwComm_RunIndicator(bool running);
    void imgAcquit_Click();
    void lblAcquit_Click() { imgAcquit_Click(); }
    void imgArretKlaxon_Click();
    void imgConsigne_Click();
    void imgHisto_Click();
    void lblHisto_Click() { imgHisto_Click(); }
    void imgTelecommande_Click();
    void imgCommWatch_Click();
    void imgStopRun_Click(int index);
    void imgNavig_Click(int index);
    void imgControl_Click(int index);
    void grdAlarms_RowColChange();
    void lblLogin_Change(int index);
    void tmrDateTime_Timer();
    void Form_Load() override;
    void Form_Activate() override;
    bool Form_QueryUnload(plat::UnloadMode mode) override;
    void Form_Unload() override;
    void Nationality() override;

    // The colour of a row's cell, as decimal text of its 0x00BBGGRR value.
    static QString RowColor(qint32 id);

    // ---- Controls ----
    plat::FlexGrid* grdAlarms = nullptr;
    QLineEdit* txtNoAlarm = nullptr;
    QLabel* imgPointer = nullptr;
    plat::PictureButton* imgAcquit = nullptr;
    QLabel* lblAcquit = nullptr;
    plat::PictureButton* imgArretKlaxon = nullptr;
    plat::PictureButton* imgConsigne = nullptr;
    plat::PictureButton* imgHisto = nullptr;
    QLabel* lblHisto = nullptr;
    plat::PictureButton* imgTelecommande = nullptr;
    plat::PictureButton* imgCommWatch = nullptr;
    plat::ControlArray<plat::PictureButton> imgStopRun{QStringLiteral("imgStopRun")};
    plat::ControlArray<plat::PictureButton> imgNavig{QStringLiteral("imgNavig")};
    plat::ControlArray<plat::PictureButton> imgControl{QStringLiteral("imgControl")};
    plat::ControlArray<QLabel> lblLogin{QStringLiteral("lblLogin")};
    plat::ControlArray<QLabel> imgComm{QStringLiteral("imgComm")};
    plat::ControlArray<QLabel> lblDateTime{QStringLiteral("lblDateTime")};
    plat::ControlArray<QLabel> lblMissingPanel{QStringLiteral("lblMissingPanel")};
    QLabel* lblLabels = nullptr;
    plat::FormTimer* tmrDateTime = nullptr;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void buildControls();
    void FindMissingPanels();
    void RecaleCurseur();
    void showStopRun(bool running);
    void setLoginCaption(const QString& caption);
    void connectEngine();
    void restoreRows();
    void removeRow(int row);
    // The login dialog; the level under the login button then shows the
    // level it left, while the screen is still there. True when confirmed.
    bool askPassword();
    // Asks for a login until the level is reached; false when the operator
    // gives up or the screen went meanwhile.
    bool loginFor(int level);
    // Asks for a login below level 2 and tells a refusal in a box of that
    // style; true when the supervisor's level is reached.
    bool supervisorAccess(int refusedStyle);

    std::vector<QMetaObject::Connection> m_mwComm;
};
