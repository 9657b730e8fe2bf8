#pragma once
// Stand-in for the alarm screen wRunAlarms until the real one is built: an
// empty alarm list and the leave button, which shows the main window.

#include "platform/Form.h"
#include "platform/PictureButton.h"
#include "program/core/Global.h"

class QLabel;

class StandInRunAlarms : public plat::Form {
    Q_OBJECT
public:
    static inline const QString FormName = Global::AlarmScreenForm;
    // Registers the stand-in under the alarm screen's form name.
    static void registerForm();

    StandInRunAlarms();

    void Form_Load() override;
    bool Form_QueryUnload(plat::UnloadMode mode) override;
    void imgLeave_Click();

    QLabel* lblTitle = nullptr;
    QLabel* lblEmpty = nullptr;
    plat::PictureButton* imgLeave = nullptr;

protected:
    void paintEvent(QPaintEvent* event) override;
};
