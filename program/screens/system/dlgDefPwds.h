#pragma once
// The user editor: the configuration's users in a grid (name, code, level),
// added, modified and deleted through the password dialog, written back to
// the configuration all at once on OK. The main window saves the working
// file after it. The rules are in UserList.

#include "platform/ControlArray.h"
#include "platform/FlexGrid.h"
#include "platform/Form.h"
#include "platform/PictureButton.h"
#include "program/screens/system/UserList.h"

#include <optional>

class QLabel;
class QPushButton;

class dlgDefPwds : public plat::Form {
    Q_OBJECT
public:
    // imgControl
    static constexpr int UserAdd = 0;
    static constexpr int UserModify = 1;
    static constexpr int UserDelete = 2;
    static constexpr int RowUp = 3;
    static constexpr int RowDown = 4;
    // cmdBoutons
    static constexpr int CmdCancel = 0;
    static constexpr int CmdOk = 1;
    // Column widths in pixels (2850, 2130 and 930 twips).
    static constexpr int NameWidth = 190;
    static constexpr int CodeWidth = 142;
    static constexpr int LevelWidth = 62;

    dlgDefPwds();

    const UserList& Users() const { return m_users; }

    void Form_Load() override;
    void Form_Unload() override;
    void grdUsers_RowColChange();
    void imgControl_Click(int index);
    void cmdBoutons_Click(int index);

    plat::FlexGrid* grdUsers = nullptr;
    plat::ControlArray<QLabel> lblLabels{QStringLiteral("lblLabels")};
    plat::ControlArray<QPushButton> cmdBoutons{QStringLiteral("cmdBoutons")};
    plat::ControlArray<plat::PictureButton> imgControl{QStringLiteral("imgControl")};

    static constexpr int kWidth = 580;
    static constexpr int kHeight = 440;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    struct Entry {
        QString name;
        QString code;
        int level = 0;
    };
    // The password dialog shown, with the fields of start when given (a
    // dialog kept after a refusal shows what was typed); what was confirmed,
    // none on cancel.
    std::optional<Entry> askEntry(const std::optional<Entry>& start);
    // Refused: the message, and the dialog kept with what was typed; else
    // the dialog goes.
    bool refused(UserList::Check check);
    void showRow(int row);
    void markCurrentRow();
    void sendKey(int key);
    void closeEditor();

    UserList m_users;
};
