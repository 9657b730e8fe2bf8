#pragma once
// The on-screen keyboard: a title, a single-line and a multi-line text box,
// 32 character keys showing one page of 32 Windows-1252 codes, seven page
// keys, eight editing keys, a line-break key, and Cancel and OK. The caller
// prepares the box it wants, shows the dialog modally, and reads Ok and the
// text back; the dialog only hides itself.

#include "platform/ControlArray.h"
#include "platform/Form.h"
#include "platform/PictureButton.h"
#include "program/core/KeyboardModel.h"

#include <cstdint>

class QFrame;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

// A text box of the keyboard: its text holds line breaks as CR LF and its
// caret (SelStart) counts them as two characters, whatever the editor
// widget stores. What the operator types, pastes or drops is refused when
// Windows-1252, the code page of the working file, cannot hold it.
class KeyboardTextBox : public QWidget {
    Q_OBJECT
public:
    KeyboardTextBox(bool multiLine, QWidget* parent);

    bool MultiLine() const { return m_edit != nullptr; }
    QString Text() const;
    // Text() gives back what was set: a lone CR or LF stays as it is.
    void setText(const QString& text);
    // The caret: the start of the selection.
    int SelStart() const;
    // Places the caret there, nothing selected.
    void setSelStart(int pos);
    // 0 is no limit.
    int MaxLength() const;
    void setMaxLength(int length);

    // The widget that takes the typing.
    QWidget* editor() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QLineEdit* m_line = nullptr;
    QPlainTextEdit* m_edit = nullptr;
    int m_maxLength = 0;
};

class dlgKeyboard : public plat::Form {
    Q_OBJECT
public:
    dlgKeyboard();

    // True when closed with OK (the button or Enter).
    bool Ok() const { return m_ok; }
    // The code of character key 0 of the page shown.
    int16_t RangeBase() const { return m_rangeBase; }

    // The text box that the keys edit: txtValue(1) when it is visible, else txtValue(0).
    KeyboardTextBox* activeTextBox() const;

    QLabel* lblTitle = nullptr;
    plat::ControlArray<KeyboardTextBox> txtValue{QStringLiteral("txtValue")};
    QFrame* picKeyboard = nullptr;
    plat::ControlArray<QPushButton> cmdKey{QStringLiteral("cmdKey")};
    plat::ControlArray<QPushButton> cmdRange{QStringLiteral("cmdRange")};
    plat::ControlArray<QPushButton> cmdCtrl{QStringLiteral("cmdCtrl")};
    plat::PictureButton* imgCRLF = nullptr;
    // 0 Cancel, 1 OK.
    plat::ControlArray<plat::PictureButton> imgControl{QStringLiteral("imgControl")};

    void Form_Load() override;
    void Form_Activate() override;
    void Form_Resize();
    void picKeyboard_Resize();
    void KeyRename();

    void cmdKey_Click(int index);
    void cmdRange_Click(int index);
    void cmdCtrl_Click(int index);
    void imgCRLF_Click();
    void imgControl_Click(int index);

    QSize sizeHint() const override { return size(); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    // Enter is OK and Escape is Cancel; true when the key was one of them.
    bool handleKey(QKeyEvent* event);
    void connectKey(QPushButton* key, int index, void (dlgKeyboard::*handler)(int));

    bool m_ok = false;
    int16_t m_rangeBase = KeyboardModel::kFirstRangeBase;
};
