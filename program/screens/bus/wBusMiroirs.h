#pragma once
// The mirror list: every mirror of the configuration in a sorted list, with
// new, modify, delete and cancel. The screen works on its own copy of the
// configuration's mirrors; leaving with changes asks whether to keep them,
// and Yes writes them into the configuration and saves the working file.
// The choice of one mirror happens in dlgEditMirror, the duplicate and loop
// checks here (MirrorRules), the columns and their order in MirrorTable.

#include "platform/ControlArray.h"
#include "platform/Form.h"
#include "platform/PictureButton.h"
#include "program/core/MirrorClasses.h"

#include <functional>

class QLabel;
class QTreeWidget;
class dlgEditMirror;

class wBusMiroirs : public plat::Form {
    Q_OBJECT
public:
    static constexpr int NavigMain = 0;
    static constexpr int NavigUp = 1;
    static constexpr int NavigDown = 2;
    static constexpr int NavigOverview = 5;

    wBusMiroirs();

    // The working list and the ID of the selected row ("" for none).
    const MirrorClasses& Mirrors() const { return m_mirrors; }
    const QString& SelectedID() const { return m_selectedId; }

    void Form_Load() override;
    void FillTable();
    void lvwMirrors_Click();
    void imgNew_Click();
    void imgModif_Click();
    void imgDelete_Click();
    void imgCancel_Click();
    void imgNavig_Click(int index);

    QTreeWidget* lvwMirrors = nullptr;
    plat::ControlArray<QLabel> lblTitle{QStringLiteral("lblTitle")};
    QLabel* lblLabels = nullptr;
    plat::ControlArray<QLabel> lblTitleOn{QStringLiteral("lblTitleOn")};
    QLabel* lblCancel = nullptr;
    plat::PictureButton* imgNew = nullptr;
    plat::PictureButton* imgModif = nullptr;
    plat::PictureButton* imgDelete = nullptr;
    plat::PictureButton* imgCancel = nullptr;
    plat::ControlArray<plat::PictureButton> imgNavig{QStringLiteral("imgNavig")};

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void makeTitles();
    // The working list afresh from the configuration, not modified.
    void reload();
    int selectedRow() const;
    void selectRow(int row);
    // Shows the dialog until the user cancels or the check passes; check
    // gives the refusal's text id, 0 to take the mirror, which accept then
    // stores. The dialog is unloaded at the end.
    void editLoop(dlgEditMirror* dialog, const std::function<int(const MirrorClass&)>& check,
                  const std::function<void(const MirrorClass&)>& accept);

    MirrorClasses m_mirrors;
    QString m_selectedId;
    // While the rows are made again, the selection they lose is no touch.
    bool m_filling = false;
};
