#pragma once
// The mirror edit dialog, modal over the mirror list or the mirrors of one
// channel: the source module and channel, the destination module and
// channel, and the type of a channel mirror. It neither creates nor stores a
// mirror: the caller presets the captions (each runs its change rule at
// once), shows it, reads Ok and the choice, and unloads it. The rules live
// in MirrorChoice.

#include "platform/ControlArray.h"
#include "platform/Form.h"
#include "platform/Label.h"
#include "platform/PictureButton.h"
#include "program/core/MirrorClass.h"
#include "program/screens/bus/MirrorChoice.h"

#include <memory>

class PanelClass;
class QFrame;
class QGroupBox;
class QLabel;
class QRadioButton;

class dlgEditMirror : public plat::Form {
    Q_OBJECT
public:
    static constexpr int ControlCancel = 0;
    static constexpr int ControlOk = 1;
    // The source group and the destination group.
    static constexpr int FrameSource = 0;
    static constexpr int FrameDestination = 1;

    // Design size in pixels.
    static constexpr int kWidth = 600;
    static constexpr int kHeight = 400;

    dlgEditMirror();

    bool Ok() const { return m_ok; }
    // The module that rules the source side while its number is chosen.
    void setPanel(std::shared_ptr<PanelClass> panel) { m_choice.setPanel(std::move(panel)); }
    int MirrorType() const { return m_choice.MirrorType(); }
    // What OK accepted, as the callers read the captions.
    MirrorChoice::Mirror Chosen() const { return m_choice.Chosen(); }
    MirrorClass ChosenMirror() const { return m_choice.ChosenMirror(); }

    void Form_Load() override;
    void Nationality() override;
    void lblSrceModNo_Change();
    void lblSrceChnlNo_Change();
    void lblDestModNo_Change();
    void imgPlusMoins_Click(int index);
    void imgControl_Click(int index);
    void optType_Click(int index);

    plat::Label* lblSrceModNo = nullptr;
    plat::Label* lblSrceModType = nullptr;
    plat::Label* lblSrceChnlNo = nullptr;
    plat::Label* lblDestModNo = nullptr;
    plat::Label* lblDestModType = nullptr;
    plat::Label* lblDestChnlNo = nullptr;
    plat::ControlArray<QGroupBox> frmFrames{QStringLiteral("frmFrames")};
    QFrame* frmDestChnl = nullptr;
    QGroupBox* frmType = nullptr;
    plat::ControlArray<QRadioButton> optType{QStringLiteral("optType")};
    plat::ControlArray<QLabel> lblLabels{QStringLiteral("lblLabels")};
    plat::ControlArray<plat::PictureButton> imgPlusMoins{QStringLiteral("imgPlusMoins")};
    plat::ControlArray<plat::PictureButton> imgControl{QStringLiteral("imgControl")};

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    // One number with its two arrows and its caption above, on a group.
    plat::Label* numberRow(QWidget* parent, int top, int caption, int down, int up);
    // The captions, groups and options as the rules left them.
    void showChoice();

    MirrorChoice m_choice;
    bool m_ok = false;
    bool m_showing = false;
    // The source channel arrows follow the rules only when these change
    // them: a caller that fixes the source hides them for good.
    bool m_sourceChannelButtons = false;
};
