#pragma once
// The module editor: one module's model, title, title colour and active flag,
// and below them the fourteen parameter rows of its current channel, on a
// working copy of the module and of the mirror list. Moving to another module
// or leaving asks to save when something was edited; Yes writes the working
// copies into the configuration and saves the working file. A row's value is
// its caption: a changed caption writes the value back into the working copy.
// The value picker reaches the rows and the two text lists while it is open
// (ListInputParent).

#include "platform/ColorDialog.h"
#include "platform/ControlArray.h"
#include "platform/Form.h"
#include "platform/Label.h"
#include "platform/ListBox.h"
#include "platform/PictureButton.h"
#include "program/core/ListInputParent.h"
#include "program/screens/bus/ModuleEdit.h"

#include <memory>

class ChannelClass;
class QFrame;
class QLabel;
class QLineEdit;

class wBusPanneau : public plat::Form, public ListInputParent {
    Q_OBJECT
public:
    // The navigation bar.
    static constexpr int NavigMain = 0;
    static constexpr int NavigPreviousRow = 1;
    static constexpr int NavigNextRow = 2;
    static constexpr int NavigOverview = 5;
    static constexpr int NavigMirrors = 12;
    // The module buttons: 3 and 4 ask to save without moving.
    static constexpr int NavPanelPrevious = 1;
    static constexpr int NavPanelNext = 2;
    // The channel buttons.
    static constexpr int ControlPreviousChannel = 0;
    static constexpr int ControlNextChannel = 1;
    static constexpr int ControlCopy = 2;
    static constexpr int ControlPaste = 3;
    static constexpr int ControlCut = 4;
    static constexpr int ControlClear = 5;
    // Row backgrounds (0x00BBGGRR): the selected row is yellow.
    static constexpr unsigned int RowColour = 0xFFFFFF;
    static constexpr unsigned int SelectedRowColour = 0x00FFFF;
    static constexpr int KeyF12 = 123;

    wBusPanneau();

    int NumModule() const { return m_numModule; }
    // Shows module n on a fresh working copy of it.
    void setNumModule(int n);
    std::shared_ptr<PanelClass> EditPanel() const { return m_edit.EditPanel(); }
    std::shared_ptr<MirrorClasses> EditMirrors() const { return m_edit.EditMirrors(); }

    void Nationality() override;
    // Shows the current channel in rows 2..13.
    void ReadChannel();

    // ---- ListInputParent ----
    QLineEdit* txtNoParam() const override { return m_txtNoParam; }
    QListWidget* lstBiblio() const override { return m_lstBiblio; }
    QListWidget* lstConsigne() const override { return m_lstConsigne; }
    QLabel* lblParamVal(int index) const override { return m_lblParamVal(index); }

    // ---- Life cycle and handlers ----
    void Form_Load() override;
    void Form_Activate() override;
    void Form_KeyDown(int keyCode);
    void lstModele_Click();
    void imgModele_Click();
    void imgActive_Click();
    void lblTitleColor_Click();
    void imgCancel_Click();
    void imgClear_Click();
    void lblNumModule_Change();
    void imgNavPanel_Click(int index);
    void imgNavig_Click(int index);
    void lblParamVal_Change(int index);
    void txtNoParam_Change();
    void imgModif_Click();
    void imgControl_Click(int index);

    // ---- Controls ----
    // 0 and 1 the shadow and the face of "Module", 2 the instructions' and 3
    // the library's caption.
    plat::ControlArray<QLabel> lblLabels{QStringLiteral("lblLabels")};
    plat::ControlArray<plat::Label> lblNumModule{QStringLiteral("lblNumModule")};
    plat::ControlArray<QLabel> lblModele{QStringLiteral("lblModele")};
    plat::ControlArray<QLabel> lblActive{QStringLiteral("lblActive")};
    plat::PictureButton* imgModele = nullptr;
    plat::PictureButton* imgActive = nullptr;
    plat::ListBox* lstModele = nullptr;
    QLabel* lblTitleColor = nullptr;
    plat::ColorDialog Dlg;
    QLabel* lblVisuTcde = nullptr;
    plat::PictureButton* imgCancel = nullptr;
    QLabel* lblCancel = nullptr;
    plat::PictureButton* imgClear = nullptr;
    QLabel* lblClear = nullptr;
    plat::ControlArray<plat::PictureButton> imgNavPanel{QStringLiteral("imgNavPanel")};
    plat::ControlArray<plat::PictureButton> imgNavig{QStringLiteral("imgNavig")};
    plat::ControlArray<plat::PictureButton> imgControl{QStringLiteral("imgControl")};
    plat::PictureButton* imgModif = nullptr;
    plat::ControlArray<QFrame> frmFond{QStringLiteral("frmFond")};
    QFrame* shpInput = nullptr;
    plat::ControlArray<QLabel> lblParams{QStringLiteral("lblParams")};
    // The value labels, by row (lblParamVal(i) as a Label).
    plat::Label* ParamVal(int row) const { return m_lblParamVal(row); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void buildHeader();
    void buildModuleBlock();
    void buildRows();
    void buildButtons();
    // The module shown, drawn from the working copy: every module field, the
    // rows' picker lists and the title row, the model, the number.
    void showModule();
    // Which row buttons are shown for the row and channel shown.
    void showRowButtons();
    void showActive();
    void setTitleColour(int32_t bgr);
    // The save question; the answer, or 0 when nothing is to be saved.
    int askToSave(bool leaving);
    int currentRow() const;
    int currentChannel() const;
    ChannelClass& channel(int c) const;
    void editRowOnKeyboard(int row);
    void editRowWithPicker(int row);
    void showMirrors();

    ModuleEdit m_edit;
    int m_numModule = 0;
    QLineEdit* m_txtNoParam = nullptr;
    plat::ListBox* m_lstBiblio = nullptr;
    plat::ListBox* m_lstConsigne = nullptr;
    plat::ControlArray<plat::Label> m_lblParamVal{QStringLiteral("lblParamVal")};
};
