#pragma once
// The history viewer: the periods for which a history file exists, the chosen
// one loaded into a list of two-line entries, steps to the previous and next
// period, scrolling, the instruction of the selected entry and the
// remote-control screen. It reads the files and never writes them. Periods,
// loading and the instruction lookup are HistoricBrowser's.

#include "program/core/FormNames.h"
#include "program/runtime/HistoricBrowser.h"

#include "platform/ControlArray.h"
#include "platform/Form.h"
#include "platform/FormTimer.h"
#include "platform/ListBox.h"
#include "platform/PictureButton.h"

#include <vector>

class HistoricGrid;
class QLabel;

class wHistoric : public plat::Form {
    Q_OBJECT
public:
    // The period buttons and the list's scroll buttons (page up, row up, row
    // down, page down).
    static constexpr int ControlPrevious = 0;
    static constexpr int ControlNext = 1;
    static constexpr int ControlPageUp = 4;
    static constexpr int ControlPageDown = 7;
    static constexpr int UpdateDelayMs = 100;
    static constexpr int DateTimeIntervalMs = 1000;

    wHistoric();

    void Form_Load() override;
    void Form_Activate() override;
    void Nationality() override;
    // The loader: the selected period's file into the list, once per enabling.
    void tmrUpdate_Timer();
    // A double touch of a picture button is a second touch: no handler of its own.
    void imgControl_Click(int index);
    void imgConsigne_Click();
    void imgTelecommande_Click();
    void imgClose_Click();
    void tmrDateTime_Timer();

    // After a load: the first entry selected (after a step to the next
    // period) or the last one.
    bool GoToTopAfterLoad() const { return m_goToTop; }
    // The instruction dialog has closed: the next activation loads nothing.
    bool SkipNextReload() const { return m_skipReload; }

    plat::ListBox* lstFiles = nullptr;
    HistoricGrid* grdAlarms = nullptr;
    plat::FormTimer* tmrUpdate = nullptr;
    plat::FormTimer* tmrDateTime = nullptr;
    plat::ControlArray<QLabel> lblDateTime{QStringLiteral("lblDateTime")};
    plat::ControlArray<plat::PictureButton> imgControl{QStringLiteral("imgControl")};
    plat::PictureButton* imgConsigne = nullptr;
    plat::PictureButton* imgTelecommande = nullptr;
    plat::PictureButton* imgClose = nullptr;
    QLabel* lblLabels = nullptr;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void buildControls();
    void step(std::optional<int> to, bool goToTop);

    std::vector<HistoricBrowser::Period> m_periods;
    bool m_goToTop = false;
    bool m_skipReload = false;
};
