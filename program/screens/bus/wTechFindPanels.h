#pragma once
// The technician's bus scan: every address 1..64 asked for its module type,
// beside what the configuration declares there; the technician activates or
// deactivates a module and takes the type found over as its model, on
// working copies that the leave question writes into the configuration.
// Opened modal over the technician screen; polling goes on meanwhile, and
// the scan yields between two addresses (one address a step of tmrScan).

#include "program/screens/bus/BusScan.h"

#include "platform/ControlArray.h"
#include "platform/Form.h"
#include "platform/PictureButton.h"

class QFrame;
class QGroupBox;
class QLabel;
class QTimer;

namespace plat {
class FlexGrid;
}

class wTechFindPanels : public plat::Form {
    Q_OBJECT
public:
    static constexpr int FindStop = 0;
    static constexpr int FindStart = 1;
    static constexpr int CommandDeactivate = 0;
    static constexpr int CommandActivate = 1;
    static constexpr int CommandTakeOver = 2;
    static constexpr int ControlPageUp = 4;
    static constexpr int ControlUp = 5;
    static constexpr int ControlDown = 6;
    static constexpr int ControlPageDown = 7;
    static constexpr int NavigLeave = 5;
    // The grid's columns.
    static constexpr int ColNumber = 0;
    static constexpr int ColTitle = 1;
    static constexpr int ColDeclared = 2;
    static constexpr int ColActive = 3;
    static constexpr int ColDetected = 4;

    wTechFindPanels();

    void Form_Load() override;
    // The leave question (text 50003) when a working copy changed and the
    // technician leaves; an unload from elsewhere drops the copies unasked.
    bool Form_QueryUnload(plat::UnloadMode mode) override;
    void Form_Unload() override;
    void Nationality() override;
    void grdPanels_RowColChange();
    void imgFind_Click(int index);
    void imgCommand_Click(int index);
    void imgControl_Click(int index);
    void imgNavig_Click(int index);
    // One address of a running scan.
    void tmrScan_Timer();

    const BusScan& scan() const { return m_scan; }
    // Shows the type found at an address on its row.
    void showResult(int address, int type);

    plat::FlexGrid* grdPanels = nullptr;
    // 0 the bus settings, 1 the selected module's commands.
    plat::ControlArray<QGroupBox> frmFrames{QStringLiteral("frmFrames")};
    // 0..4 captions, 5..9 values: port, speed, parity, data bits, stop bits.
    plat::ControlArray<QLabel> lblBusConfig{QStringLiteral("lblBusConfig")};
    QFrame* frmWarning = nullptr;
    QLabel* lblWarning = nullptr;
    plat::ControlArray<QLabel> lblLabels{QStringLiteral("lblLabels")};
    plat::ControlArray<plat::PictureButton> imgFind{QStringLiteral("imgFind")};
    plat::ControlArray<plat::PictureButton> imgCommand{QStringLiteral("imgCommand")};
    plat::ControlArray<QLabel> lblCommand{QStringLiteral("lblCommand")};
    plat::ControlArray<plat::PictureButton> imgControl{QStringLiteral("imgControl")};
    plat::ControlArray<plat::PictureButton> imgNavig{QStringLiteral("imgNavig")};
    QTimer* tmrScan = nullptr;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void buildGrid();
    void buildFrames();
    void buildButtons();
    void fillRow(int module);
    void showBusSettings();
    void openPort();
    void selectRow(int row);
    void keepInView(int row);
    // Marks the next address as being asked and yields; ends the scan when none is left.
    void askNext();
    void endScan();
    void showScanButtons();

    BusScan m_scan;
    int m_selected = 0;
    // The leave question is up, or answered: an unload meanwhile asks nothing.
    bool m_asking = false;
    bool m_decided = false;
};
