#pragma once
// The instruction dialog: an alarm's line as its caller shows it, and below
// it the instruction text configured for the alarm's channel, both in a
// fixed-pitch face. The callers fill both and show it modal; it only
// translates its caption and closes. A long instruction scrolls.

#include "platform/Form.h"
#include "program/core/FormNames.h"
#include "platform/PictureButton.h"

class QLabel;
class QPushButton;
class QScrollArea;

class dlgConsigne : public plat::Form {
    Q_OBJECT
public:

    dlgConsigne();

    // The instruction text n as the callers show it: without its leading and
    // trailing blanks (a text never written, all NULs, is blank), or text
    // 710021 when nothing is left.
    static QString InstructionText(int n);

    // Loads the dialog, fills it and shows it modal over owner; returns once
    // it has closed.
    static void Open(QWidget* owner, const QString& alarm, const QString& consigne);

    // The two captions, their line breaks (CR LF) shown as breaks.
    void setAlarm(const QString& line);
    void setConsigne(const QString& text);

    void Form_Load() override;
    void imgClose_Click();
    void cmdClose_Click();

    QLabel* lblAlarm = nullptr;
    QLabel* lblConsigne = nullptr;
    QScrollArea* scrConsigne = nullptr;
    plat::PictureButton* imgClose = nullptr;
    QLabel* lblLabels = nullptr;
    // The Escape key's button.
    QPushButton* cmdClose = nullptr;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
};
