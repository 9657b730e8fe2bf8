#pragma once
// The message box of the program: a message, an icon and up to three touch
// buttons chosen by a message-box style value, labelled in the operator's
// language. Global::Message (GlobalMessage.h) is the usual way to show it;
// a caller may also build one itself (set Message, DoUnload and Buttons,
// show it modeless and unload it).

#include "platform/ControlArray.h"
#include "platform/Form.h"

#include <QStringList>
#include <cstdint>

class QFontMetrics;
class QLabel;
class QPushButton;
class QTextEdit;

// Results of the buttons, as the message-box convention numbers them.
namespace MsgResult {
constexpr int vbOK = 1;
constexpr int vbCancel = 2;
constexpr int vbAbort = 3;
constexpr int vbRetry = 4;
constexpr int vbIgnore = 5;
constexpr int vbYes = 6;
constexpr int vbNo = 7;
} // namespace MsgResult

// Style flags of the message-box convention.
namespace MsgStyle {
constexpr int vbOKOnly = 0;
constexpr int vbOKCancel = 1;
constexpr int vbAbortRetryIgnore = 2;
constexpr int vbYesNoCancel = 3;
constexpr int vbYesNo = 4;
constexpr int vbCritical = 16;
constexpr int vbQuestion = 32;
constexpr int vbExclamation = 48;
constexpr int vbInformation = 64;
constexpr int vbDefaultButton2 = 256;
constexpr int vbDefaultButton3 = 512;
} // namespace MsgStyle

// Marks the message box's own code (building a box, showing it, its
// handlers) apart from what runs while a modal box waits, so that the error
// handler can tell a failure of the box itself from an error of a timer.
namespace MessageBoxCode {
bool running();
// Inside the box's own code.
class Scope {
public:
    Scope();
    ~Scope();
    Scope(const Scope&) = delete;
    Scope& operator=(const Scope&) = delete;
};
// Outside it again: a modal box's wait, or a new report box of its own.
class Outside {
public:
    Outside();
    ~Outside();
    Outside(const Outside&) = delete;
    Outside& operator=(const Outside&) = delete;

private:
    int m_saved;
};
} // namespace MessageBoxCode

class dlgMessage : public plat::Form {
    Q_OBJECT
public:
    dlgMessage();

    // Applies a style value: icon, button set with captions and results, default button.
    void setButtons(int style);
    // True: a button unloads the box; False: it only hides it (the caller unloads).
    void setDoUnload(bool on);
    void setMessage(const QString& text);
    // The result of the button pressed; -1 until one is pressed.
    int16_t Result() const { return m_result; }

    // The lines that Global::PrintParagraph makes of text at a width, as
    // the box's sizing counts them.
    static QStringList WrapLines(const QString& text, const QFontMetrics& metrics, int width);

    void Form_Load() override;
    void Form_Activate() override;
    bool Form_QueryUnload(plat::UnloadMode mode) override;
    // Captions follow the language; the buttons' tags hold results, not text ids.
    void Nationality() override;

    void cmdButton_Click(int index);
    void txtMessage_Change();

    QTextEdit* txtMessage = nullptr;
    plat::ControlArray<QPushButton> cmdButton{QStringLiteral("cmdButton")};
    // 0 no icon flag (a neutral picture), 1 critical, 2 question, 3 exclamation, 4 information.
    plat::ControlArray<QLabel> imgIcon{QStringLiteral("imgIcon")};

    // Design geometry in pixels (800 x 600 screen).
    static constexpr int kWidth = 620;
    static constexpr int kMargin = 24;
    static constexpr int kBand = 8;
    static constexpr int kIconSize = 72;
    static constexpr int kButtonWidth = 168;
    static constexpr int kButtonHeight = 64;
    static constexpr int kButtonGap = 20;
    static constexpr int kTextFontPt = 14;
    static constexpr int kButtonFontPt = 14;
    static constexpr int kDesignLines = 3;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void stateParts();

private:
    void sizeToText();
    void applyCaptions();
    // The visible button with this result, or -1.
    int buttonWithResult(int result) const;
    int defaultIndex() const;

    int m_designWidth = 0;
    int m_designHeight = 0;
    int m_designTextHeight = 0;
    int16_t m_result = -1;
    bool m_doUnload = false;
    int m_iconValue = 0;
    int m_buttonCount = 0;
    int m_defaultIndex = 0;
};
