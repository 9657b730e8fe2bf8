#pragma once
// The bus settings screen: the serial bus port's number, speed and stop
// bits and the automatic start of polling, beside the values the open port
// really has. A new port number goes to the live port at once; the rest
// reaches the port and the configuration (saved) when the screen is left with
// Yes. The bus monitor opens from here. The decisions are BusPortSettings'.

#include "platform/ControlArray.h"
#include "platform/Form.h"
#include "platform/Label.h"
#include "platform/PictureButton.h"
#include "program/screens/system/BusPortSettings.h"

#include <QVector>

#include <memory>

class QCheckBox;
class QGroupBox;
class QLabel;
class wPolling;

class wSysComm : public plat::Form {
    Q_OBJECT
public:
    static constexpr int NavigLeave = 0;

    wSysComm();
    ~wSysComm() override;

    void Form_Load() override;
    void Form_Unload() override;
    void Nationality() override;
    void imgBusDir_Click(int index);
    void imgBusModif_Click();
    void lblBusPointer_Change();
    void lblBusPort_Change();
    void lblBusSpeed_Change();
    void lblBusStop_Change();
    void chkAutoStart_Click();
    // False when the operator stays on the screen.
    bool imgNavig_Click(int index);
    void imgClose_Click();
    void imgCommWatch_Click();

    // A field changed since the screen was loaded.
    bool Modified() const { return mModified; }

    // 0..4 row titles, 5..9 the open port's values, 10 the automatic start's
    // title and 11 its value as loaded.
    plat::ControlArray<QLabel> lblBusConfig{QStringLiteral("lblBusConfig")};
    // 0 title, 1 its shadow, 2 and 3 the column headings.
    plat::ControlArray<QLabel> lblLabels{QStringLiteral("lblLabels")};
    plat::Label* lblBusPort = nullptr;
    plat::Label* lblBusSpeed = nullptr;
    plat::Label* lblBusStop = nullptr;
    QCheckBox* chkAutoStart = nullptr;
    QLabel* lblAutoStart = nullptr;
    plat::Label* lblBusPointer = nullptr;
    // 0 previous field, 1 next field.
    plat::ControlArray<plat::PictureButton> imgBusDir{QStringLiteral("imgBusDir")};
    plat::PictureButton* imgBusModif = nullptr;
    plat::PictureButton* imgCommWatch = nullptr;
    plat::ControlArray<plat::PictureButton> imgNavig{QStringLiteral("imgNavig")};
    plat::PictureButton* imgClose = nullptr;
    plat::ControlArray<QGroupBox> frmFrames{QStringLiteral("frmFrames")};

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    class EngineLink;

    void buildControls();
    // Load steps from the configuration to the pointer (also a reload on No).
    void loadFields();
    bool UpdateConfig();
    int pointer() const;
    BusPortSettings::Texts fieldTexts() const;
    static wPolling* engine();

    std::unique_ptr<EngineLink> m_link;
    BusPortSettings m_settings;
    // The editable fields in the pointer's order: port, speed, stop bits, automatic start.
    QVector<QWidget*> mFields;
    bool mModified = false;
    // Left by its own leave (Yes, No or nothing changed), not unloaded from elsewhere.
    bool m_left = false;
};
