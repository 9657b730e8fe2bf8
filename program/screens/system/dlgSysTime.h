#pragma once
// The clock dialog: the panel's date and time as six running fields, touch
// steps to change each, and the button that sets the clock. The first step
// freezes the fields; setting the clock (date and time in one step) lets them
// run again. The clock it reads and sets is injectable: the system's unless
// a test gives another.

#include "platform/ControlArray.h"
#include "platform/Form.h"
#include "platform/Label.h"
#include "platform/PictureButton.h"

class QLabel;

namespace plat {
class FormTimer;
class WallClock;
}

class dlgSysTime : public plat::Form {
    Q_OBJECT
public:
    static constexpr int CmdClose = 0;
    static constexpr int CmdSet = 1;
    static constexpr int UpdateIntervalMs = 1000;

    // The clock the dialog reads and sets; nullptr goes back to the system's.
    static void setWallClock(plat::WallClock* clock);

    dlgSysTime();

    void Form_Load() override;
    void Nationality() override;
    void tmrTimeUpdate_Timer();
    void lblDate_Change(int index);
    void imgControl_Click(int index);
    void cmdBoutons_Click(int index);

    // 0 day, 1 month, 2 year, 3 hour, 4 minute, 5 second; their captions.
    plat::ControlArray<plat::Label> lblDate{QStringLiteral("lblDate")};
    plat::ControlArray<QLabel> lblTime{QStringLiteral("lblTime")};
    QLabel* Label1 = nullptr;
    // Button b steps field b / 2, down when even, up when odd.
    plat::ControlArray<plat::PictureButton> imgControl{QStringLiteral("imgControl")};
    // 0 close, 1 set the clock.
    plat::ControlArray<plat::PictureButton> cmdBoutons{QStringLiteral("cmdBoutons")};
    plat::FormTimer* tmrTimeUpdate = nullptr;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void buildControls();
    void setClock();

    // True only while the timer writes the fields.
    bool m_refreshing = false;
};
