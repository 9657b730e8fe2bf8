#pragma once
// The remote command screen of one module of model 4 or 5: twelve channel
// rows (number, lamp coloured by the channel's live state every second, text)
// in two columns; touching a channel's text selects it; the on and off
// buttons queue the write that switches the selected channel through the
// engine; the instruction button shows its instruction. Shown modal over the
// overview, loaded afresh at each opening. The rules are RemoteChannels'.

#include "program/core/FormNames.h"
#include "program/runtime/RemoteChannels.h"

#include "platform/ControlArray.h"
#include "platform/Form.h"
#include "platform/FormTimer.h"
#include "platform/PictureButton.h"

#include <QFrame>

#include <memory>

class PanelClass;
class QLabel;

namespace plat {
class Shape;
}

class wTeleCmde : public plat::Form {
    Q_OBJECT
public:
    // The command buttons: ImgTcmde(Off) writes 0, ImgTcmde(On) writes 3.
    static constexpr int Off = 0;
    static constexpr int On = 1;
    static constexpr int PollIntervalMs = 1000;
    static constexpr int ClignIntervalMs = 250;

    wTeleCmde();

    std::shared_ptr<PanelClass> Panel() const { return mPanel; }
    // Builds the twelve channel rows for the module (MiseEnFormeModule).
    void setPanel(std::shared_ptr<PanelClass> panel);
    // How captions measure for their centring; the screen's font unless set.
    void setTextMetrics(RemoteChannels::TextMetrics metrics) { m_metrics = std::move(metrics); }

    void Form_Load() override;
    void Form_Unload() override;
    void Nationality() override;
    void imgClose_Click();
    void imgConsigne_Click();
    void ImgTcmde_Click(int index);
    void lblVoyant_Click(int index);
    void tmrPoll_Timer();
    void tmrClign_Timer();

    // The selection frame's offset from a channel lamp, in pixels.
    int FocusDX() const { return mFocusDX; }
    int FocusDY() const { return mFocusDY; }
    // The selected channel, 0 for none.
    int SelectedChannel() const;

    plat::Shape* shpFond = nullptr;
    plat::Shape* LineSep = nullptr;
    plat::ControlArray<QFrame> frmFrames{QStringLiteral("frmFrames")};
    plat::ControlArray<QLabel> lblLabels{QStringLiteral("lblLabels")};
    plat::ControlArray<QLabel> lblModType{QStringLiteral("lblModType")};
    QLabel* lblChnlNo = nullptr;
    plat::ControlArray<plat::PictureButton> ImgTcmde{QStringLiteral("ImgTcmde")};
    plat::PictureButton* imgConsigne = nullptr;
    plat::PictureButton* imgClose = nullptr;
    plat::Shape* shpFocus = nullptr;
    plat::ControlArray<QLabel> lblVoyant{QStringLiteral("lblVoyant")};
    plat::ControlArray<plat::Shape> shpVoyant{QStringLiteral("shpVoyant")};
    plat::ControlArray<plat::Shape> shpBkTxt{QStringLiteral("shpBkTxt")};
    plat::ControlArray<plat::Shape> shpBkLed{QStringLiteral("shpBkLed")};
    plat::ControlArray<QLabel> lblNum{QStringLiteral("lblNum")};
    plat::FormTimer* tmrPoll = nullptr;
    plat::FormTimer* tmrClign = nullptr;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void buildControls();
    void MiseEnFormeModule(std::shared_ptr<PanelClass> panel);
    // The selected channel, or 0 after telling that none is selected.
    int channelOrTold() const;
    // Waits, without spinning, until the command needs no more waiting.
    void waitFor(const CommandClass& cmd);

    std::shared_ptr<PanelClass> mPanel;
    int mFocusDX = 0;
    int mFocusDY = 0;
    RemoteChannels::TextMetrics m_metrics;
};
