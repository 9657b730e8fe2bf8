#pragma once
// The mirrors of one channel, modal over the module editor: the mirrors that
// leave the shown module and channel (or the whole module) and those that
// reach it, new mirrors from it, and the removal of mirrors that leave it.
// It edits the editor's working mirror list in place; the editor's own save
// question covers the changes. The lines are made by MirrorLines, the checks
// by MirrorRules.

#include "platform/ControlArray.h"
#include "platform/Form.h"
#include "platform/Label.h"
#include "platform/ListBox.h"
#include "platform/PictureButton.h"

#include <memory>

class MirrorClass;
class MirrorClasses;
class PanelClass;
class QLabel;

class wBusMirrorOne : public plat::Form {
    Q_OBJECT
public:
    static constexpr int NavigToUp = 1;
    static constexpr int NavigToDown = 2;
    static constexpr int NavigBack = 5;
    static constexpr int NavigFromUp = 101;
    static constexpr int NavigFromDown = 103;
    static constexpr int ControlPreviousChannel = 0;
    static constexpr int ControlNextChannel = 1;
    // lblLabels: 0 and 1 the shadow and the face of "Module", 2 and 3 the
    // titles of the outgoing and the incoming list.
    static constexpr int LabelTo = 2;
    static constexpr int LabelFrom = 3;

    wBusMirrorOne();

    // The editor's working list, edited in place.
    std::shared_ptr<MirrorClasses> Mirrors() const { return m_mirrors; }
    void setMirrors(std::shared_ptr<MirrorClasses> mirrors) { m_mirrors = std::move(mirrors); }
    // The editor's working module; only a model 1 module shows its channel arrows.
    void setPanel(std::shared_ptr<PanelClass> panel);
    // One line of a list (see MirrorLines).
    QString FormatChannel(const MirrorClass& mirror, bool destination) const;

    void Form_Load() override;
    void lblNumModule_Change();
    void lblLabels_Change(int index);
    void lblChannel_Change();
    void imgControl_Click(int index);
    void imgNew_Click();
    void imgDelete_Click();
    void imgNavig_Click(int index);

    plat::ControlArray<plat::Label> lblLabels{QStringLiteral("lblLabels")};
    plat::ControlArray<plat::Label> lblNumModule{QStringLiteral("lblNumModule")};
    QLabel* lblParams = nullptr;
    plat::Label* lblChannel = nullptr;
    plat::ListBox* lstTo = nullptr;
    plat::ListBox* lstFrom = nullptr;
    plat::ControlArray<QLabel> lblModele{QStringLiteral("lblModele")};
    QLabel* imgModele = nullptr;
    plat::ControlArray<plat::PictureButton> imgControl{QStringLiteral("imgControl")};
    plat::PictureButton* imgNew = nullptr;
    plat::PictureButton* imgModif = nullptr;
    plat::PictureButton* imgDelete = nullptr;
    plat::PictureButton* imgCancel = nullptr;
    QLabel* lblCancel = nullptr;
    plat::ControlArray<plat::PictureButton> imgNavig{QStringLiteral("imgNavig")};

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    int shownModule() const;
    int shownChannel() const;
    // The outgoing list's arrows for its selection.
    void showToArrows();
    static void move(plat::ListBox* list, int step);

    std::shared_ptr<MirrorClasses> m_mirrors;
    std::shared_ptr<PanelClass> m_panel;
};
