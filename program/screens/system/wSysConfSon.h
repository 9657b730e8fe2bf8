#pragma once
// The sound and history settings: which sound the horn plays for each alarm
// priority (assigned in the configuration at once) with a looping test of a
// sound, the history copy folder, the history file unit and retention, and
// the screen scaling switch (written to the INI file when saved). The rules
// are in SoundSettings.

#include "platform/ControlArray.h"
#include "platform/Form.h"
#include "platform/Label.h"
#include "platform/PictureButton.h"

#include <memory>

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class SoundTable;
struct HistorySettings;

class wSysConfSon : public plat::Form {
    Q_OBJECT
public:
    // imgControl
    static constexpr int SoundDown = 0;
    static constexpr int SoundUp = 1;
    static constexpr int TestStop = 2;
    static constexpr int TestPlay = 3;
    static constexpr int ShowAssigned = 4;
    static constexpr int Assign = 5;
    static constexpr int HistoryReload = 6;
    static constexpr int HistorySave = 7;
    static constexpr int PriorityDown = 8;
    static constexpr int PriorityUp = 9;
    static constexpr int Explorer = 10;
    // imgNavig
    static constexpr int NavigLeave = 0;
    static constexpr int NavigHelp = 7;

    wSysConfSon();
    ~wSysConfSon() override;

    // A history or scaling setting was edited and not yet written.
    bool Changed() const { return m_changed; }
    int HighestSound() const { return m_highest; }
    bool Testing() const { return m_testing; }

    void Form_Load() override;
    void Form_Unload() override;

    void lblSoundPrio_Change();
    void lblSoundNum_Change();
    void lblSoundPrio_Click();
    void imgControl_Click(int index);
    void cmdChooseHistoPath_Click();
    void cmdPeriod_Click();
    void chkPeriod_Click();
    void optPeriod_Click(int index);
    void txtHistoPath_Change();
    void txtPeriod_Change();
    void chkNoResize_Click();
    void imgNavig_Click(int index);
    void imgClose_Click();

    plat::ControlArray<QLabel> lblLabels{QStringLiteral("lblLabels")};
    plat::ControlArray<QGroupBox> frmFrames{QStringLiteral("frmFrames")};
    plat::ControlArray<plat::PictureButton> imgControl{QStringLiteral("imgControl")};
    plat::Label* lblSoundNum = nullptr;
    plat::Label* lblSoundPrio = nullptr;
    QLineEdit* txtHistoPath = nullptr;
    QPushButton* cmdChooseHistoPath = nullptr;
    plat::ControlArray<QRadioButton> optPeriod{QStringLiteral("optPeriod")};
    QCheckBox* chkPeriod = nullptr;
    QLineEdit* txtPeriod = nullptr;
    QPushButton* cmdPeriod = nullptr;
    plat::ControlArray<QLabel> lblPeriod{QStringLiteral("lblPeriod")};
    QGroupBox* Frame1 = nullptr;
    QCheckBox* chkNoResize = nullptr;
    plat::ControlArray<plat::PictureButton> imgNavig{QStringLiteral("imgNavig")};
    plat::PictureButton* imgClose = nullptr;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void buildSounds();
    void buildFiles();
    void buildScreenAndBar();
    int soundNumber() const;
    int priority() const;
    // The history keys into their controls, as at load.
    void readHistory();
    HistorySettings shownHistory() const;
    // Writes the history keys (and the scaling switch); false, after the
    // message, when the retention count is not valid.
    bool writeHistory(bool withScaling);
    void configurationChanged();
    void showTestButtons(bool shown);
    void stopTest();
    // Leaves the screen unless the question is cancelled; false when it stays.
    bool leave();

    std::unique_ptr<SoundTable> m_sounds;
    int m_highest = 0;
    bool m_changed = false;
    bool m_testing = false;
};
