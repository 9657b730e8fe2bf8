#pragma once
// The main window's sub-menus (parameters, system): a title and five command
// buttons, 0 the cancel. The caller shows it modally, reads Cmd and unloads
// it; a button only stores its index and hides the dialog. A command whose
// screen this program lacks is shown disabled.

#include "platform/ControlArray.h"
#include "platform/Form.h"

class QLabel;
class QPushButton;

class MenuDialog : public plat::Form {
    Q_OBJECT
public:
    static constexpr int ButtonCount = 5;
    static constexpr int CmdCancel = 0;
    // Design size in pixels (on the 800 x 600 screen).
    static constexpr int kWidth = 440;
    static constexpr int kHeight = 496;

    // The index of the button pressed; 0 until one is.
    int Cmd() const { return m_cmd; }

    void Form_Load() override;
    void cmdButtons_Click(int index);

    plat::ControlArray<QLabel> lblLabels{QStringLiteral("lblLabels")};
    plat::ControlArray<QPushButton> cmdButtons{QStringLiteral("cmdButtons")};

protected:
    // entry: the main window's menu entry that the dialog stands for.
    MenuDialog(const QString& name, int entry);
    void paintEvent(QPaintEvent* event) override;

private:
    int m_entry;
    int m_cmd = 0;
};
