#pragma once
// Stand-in for the main window wMain until the real one is built: the
// program's title, the configuration in use, the login button with the
// current access level and the quit button. Its load sets the prefix letters
// and the no-channel text that the event lines use.

#include "platform/ControlArray.h"
#include "platform/Form.h"
#include "platform/PictureButton.h"

class QLabel;

class StandInMain : public plat::Form {
    Q_OBJECT
public:
    static inline const QString FormName = QStringLiteral("wMain");
    // Registers the stand-in under the main window's form name.
    static void registerForm();

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

protected:
    void paintEvent(QPaintEvent* event) override;
};
