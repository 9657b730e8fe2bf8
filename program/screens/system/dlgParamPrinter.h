#pragma once
// The escape-sequence dialog: the colour and the styles of one kind of
// printed line, among those the printer model offers. The printer settings
// fill it, show it modally, read Ok and its controls, and unload it; its
// buttons only record the answer and hide it.

#include "platform/ControlArray.h"
#include "platform/Form.h"
#include "platform/PictureButton.h"
#include "program/core/FormNames.h"

class QButtonGroup;
class QCheckBox;
class QLabel;
class QRadioButton;

class dlgParamPrinter : public plat::Form {
    Q_OBJECT
public:
    static constexpr int ButtonCancel = 0;
    static constexpr int ButtonOk = 1;
    static constexpr int NoColour = -1;
    // The backgrounds of colour options 1..6 (0x00BBGGRR); option 0 keeps the dialog's.
    static constexpr unsigned int ColourBackgrounds[] = {0xFF00FF, 0xFFFF00, 0xFF0000, 0x00FFFF, 0x0000FF, 0x008000};

    dlgParamPrinter();

    // True when the dialog was closed with its OK button.
    bool Ok() const { return m_ok; }
    // The colour option selected, NoColour for none; selecting NoColour clears them all.
    int SelectedColour() const;
    void selectColour(int index);

    void Form_Load() override;
    void imgControl_Click(int index);

    plat::ControlArray<QRadioButton> optColor{QStringLiteral("optColor")};
    plat::ControlArray<QCheckBox> chkStyle{QStringLiteral("chkStyle")};
    QLabel* lblLegend = nullptr;
    plat::ControlArray<plat::PictureButton> imgControl{QStringLiteral("imgControl")};

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QButtonGroup* m_colours = nullptr;
    bool m_ok = false;
};
