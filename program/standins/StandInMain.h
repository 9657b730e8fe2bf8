#pragma once
// Stands in for the main window wMain: the program's title, the
// configuration in use, the login button with the current access level and
// the quit button. Its load sets the language's globals as the main window
// does.

#include "platform/ControlArray.h"
#include "platform/PictureButton.h"
#include "program/standins/StandInScreen.h"

class StandInMain : public StandInScreen {
    Q_OBJECT
public:
    // Tool buttons, numbered as the main window's.
    static constexpr int NavigQuit = 10;
    static constexpr int NavigLogin = 13;

    StandInMain();

    void Form_Load() override;
    void Form_Activate() override;
    bool Form_QueryUnload(plat::UnloadMode mode) override;
    void Nationality() override;

    void imgNavig_Click(int index);

    // 7 heading, 8 window title.
    plat::ControlArray<QLabel> lblLabels{QStringLiteral("lblLabels")};
    plat::ControlArray<plat::PictureButton> imgNavig{QStringLiteral("imgNavig")};
    plat::ControlArray<QLabel> lblLogin{QStringLiteral("lblLogin")};
    QLabel* lblFileName = nullptr;
    QLabel* lblModified = nullptr;
};
