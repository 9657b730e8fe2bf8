#pragma once
// The password keypad: 38 character keys (digits, capital letters, "-" and
// backspace, each indexed by the character's code), a name and a code field,
// a level display with its arrows, and Cancel and OK. The caller prepares the
// controls, shows it modally, reads Ok and the fields, and unloads it; the
// dialog only hides itself. The rules live in AccessControl.

#include "platform/ControlArray.h"
#include "platform/Form.h"
#include "platform/FormTimer.h"
#include "platform/PictureButton.h"

class QLabel;
class QLineEdit;
class QPushButton;

class dlgUserCodes : public plat::Form {
    Q_OBJECT
public:
    static void registerForm();

    // Key indices that are not characters of their own.
    static constexpr int KeyBackspace = 8;
    static constexpr int KeyMinus = 45;
    // Command images.
    static constexpr int CmdCancel = 0;
    static constexpr int CmdOk = 1;
    static constexpr int CmdLevelDown = 2;
    static constexpr int CmdLevelUp = 3;
    // Background of the field that the keys type into, and of the others (0x00BBGGRR).
    static constexpr unsigned int TargetColour = 0x0000FFFF;
    static constexpr unsigned int FieldColour = 0x00FFFFFF;
    // T_Config key of the auto-close time in seconds.
    static constexpr int AutoCloseKey = 100111;

    dlgUserCodes();

    // True when the dialog was closed by OK.
    bool Ok() const { return m_ok; }
    // The field that the keys type into (yellow), or -1.
    int TargetField() const;
    // Beeps given for a key without a target or a backspace on an empty field.
    int Beeps() const { return m_beeps; }

    void Form_Load() override;
    void Form_Activate() override;

    void cmdKey_Click(int index);
    void imgCmd_Click(int index);
    void txtPwd_GotFocus(int index);
    void tmrAutoClose_Timer();

    QLabel* lblTitle = nullptr;
    QLabel* lblName = nullptr;
    QLabel* lblCode = nullptr;
    QLabel* lblLevel = nullptr;
    QLabel* lblPwdLevel = nullptr;
    // 0 the name, 1 the code.
    plat::ControlArray<QLineEdit> txtPwd{QStringLiteral("txtPwd")};
    plat::ControlArray<QPushButton> cmdKey{QStringLiteral("cmdKey")};
    plat::ControlArray<plat::PictureButton> imgCmd{QStringLiteral("imgCmd")};
    plat::FormTimer* tmrAutoClose = nullptr;

    // Design size in pixels (on the 800 x 600 screen).
    static constexpr int kWidth = 720;
    static constexpr int kHeight = 540;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void setFieldColour(QLineEdit* field, unsigned int bgr);
    void beep();
    void syncRows();

    bool m_ok = false;
    bool m_levelOnePresent = false;
    int m_beeps = 0;
};
