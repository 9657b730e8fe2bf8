#pragma once
// Stands in for the alarm screen wRunAlarms: an empty alarm list and the
// leave button, which shows the main window.

#include "platform/PictureButton.h"
#include "program/standins/StandInScreen.h"

class StandInRunAlarms : public StandInScreen {
    Q_OBJECT
public:
    StandInRunAlarms();

    void Form_Load() override;
    bool Form_QueryUnload(plat::UnloadMode mode) override;
    void imgLeave_Click();

    QLabel* lblTitle = nullptr;
    QLabel* lblEmpty = nullptr;
    plat::PictureButton* imgLeave = nullptr;
};
