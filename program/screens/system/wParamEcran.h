#pragma once
// The event options screen: which kinds of event reach the alarm screen, the
// history, the printer and the horn (a grid of ticks over the configuration's
// four option masks), and the inactivity time after which a logged-in user
// is logged out. Accepted, the options go into the configuration (saved by
// the next save) and the inactivity detector is set again at once.

#include "platform/ControlArray.h"
#include "platform/Form.h"
#include "platform/PictureButton.h"
#include "program/screens/system/EventOptions.h"

class QLabel;

class wParamEcran : public plat::Form {
    Q_OBJECT
public:
    static constexpr int NavigLeave = 0;
    static constexpr int ControlInactivity = 0;

    wParamEcran();

    void Form_Load() override;
    void Nationality() override;
    // The answer of the leave question: 2 Cancel, 6 Yes, 7 No (also when nothing changed).
    int AskForClose();
    void lblAffich_Click(int index);
    void lblHisto_Click(int index);
    void lblPrint_Click(int index);
    void lblKlaxon_Click(int index);
    void imgControl_Click(int index);
    // False when the operator stays on the screen.
    bool imgNavig_Click(int index);
    void imgClose_Click();

    // The ticks, one array per column; element i stands for bit i.
    plat::ControlArray<QLabel> lblAffich{QStringLiteral("lblAffich")};
    plat::ControlArray<QLabel> lblHisto{QStringLiteral("lblHisto")};
    plat::ControlArray<QLabel> lblPrint{QStringLiteral("lblPrint")};
    plat::ControlArray<QLabel> lblKlaxon{QStringLiteral("lblKlaxon")};
    // Minutes, 0 for no inactivity logout.
    QLabel* lblInacTime = nullptr;
    plat::ControlArray<plat::PictureButton> imgControl{QStringLiteral("imgControl")};
    plat::ControlArray<plat::PictureButton> imgNavig{QStringLiteral("imgNavig")};
    plat::PictureButton* imgClose = nullptr;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void buildControls();
    plat::ControlArray<QLabel>& column(int c);
    EventOptions::Ticks ticks();
    void toggle(plat::ControlArray<QLabel>& column, int index);
};
