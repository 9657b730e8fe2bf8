#pragma once
// The module copy dialog, modal over the bus overview: a source and a target
// module number, each with its arrows, and the copy and close buttons. Each
// copy goes straight into the configuration and the working file, and the
// overview's tiles show it at once; the dialog stays open for the next copy
// until it is closed. The rules live in ModuleCopy.

#include "platform/ControlArray.h"
#include "platform/Form.h"
#include "platform/Label.h"
#include "platform/PictureButton.h"

class QLabel;
class QPushButton;

class dlgBusCopy : public plat::Form {
    Q_OBJECT
public:
    // The command buttons.
    static constexpr int CmdClose = 0;
    static constexpr int CmdCopy = 1;
    // The module numbers: 0 the source, 1 the target.
    static constexpr int Source = 0;
    static constexpr int Target = 1;

    // Design size in pixels (on the 800 x 600 screen).
    static constexpr int kWidth = 480;
    static constexpr int kHeight = 304;

    dlgBusCopy();

    void Form_Load() override;
    void Nationality() override;
    // A double touch of an arrow reaches it as a second click (the picture
    // button's own rule), so it steps twice.
    void imgControl_Click(int index);
    void lblPanelNo_Change(int index);
    void cmdBoutons_Click(int index);

    QLabel* lblLabels = nullptr;
    // The captions above the two numbers.
    plat::ControlArray<QLabel> lblPanelCaption{QStringLiteral("lblPanelCaption")};
    plat::ControlArray<plat::Label> lblPanelNo{QStringLiteral("lblPanelNo")};
    plat::ControlArray<plat::PictureButton> imgControl{QStringLiteral("imgControl")};
    plat::ControlArray<QPushButton> cmdBoutons{QStringLiteral("cmdBoutons")};

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    int number(int index) const;
};
