#pragma once
// The remote command screen of one module of model 4 or 5: twelve channel
// rows (number, lamp coloured by the channel's live state every second, text)
// in two columns; touching a channel's text selects it; the on and off
// buttons queue the write that switches the selected channel through the
// engine; the instruction button shows its instruction. Shown modal over the
// overview, loaded afresh at each opening. The rules are RemoteChannels'.

#include "program/core/FormNames.h"
#include "program/runtime/ModuleLampScreen.h"
#include "program/runtime/RemoteChannels.h"

#include "platform/ControlArray.h"
#include "platform/PictureButton.h"

#include <QFrame>

class QLabel;

namespace plat {
class Shape;
}

class wTeleCmde : public ModuleLampScreen {
    Q_OBJECT
public:
    // The command buttons: ImgTcmde(Off) writes 0, ImgTcmde(On) writes 3.
    static constexpr int Off = 0;
    static constexpr int On = 1;
    static constexpr int PollIntervalMs = 1000;
    static constexpr int ClignIntervalMs = 250;

    wTeleCmde();

    // How captions measure for their centring; the screen's font unless set.
    void setTextMetrics(RemoteChannels::TextMetrics metrics) { m_metrics = std::move(metrics); }

    void Form_Load() override;
    void imgClose_Click();
    void imgConsigne_Click();
    void ImgTcmde_Click(int index);
    void lblVoyant_Click(int index);
    void tmrPoll_Timer() override;
    void tmrClign_Timer() override;

    // The selection frame's offset from a channel lamp, in pixels.
    int FocusDX() const { return mFocusDX; }
    int FocusDY() const { return mFocusDY; }
    // The selected channel, 0 for none.
    int SelectedChannel() const;

    plat::Shape* shpFond = nullptr;
    plat::Shape* LineSep = nullptr;
    plat::ControlArray<QFrame> frmFrames{QStringLiteral("frmFrames")};
    plat::ControlArray<QLabel> lblLabels{QStringLiteral("lblLabels")};
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

protected:
    void paintEvent(QPaintEvent* event) override;
    // The twelve channel rows.
    void layOutChannels() override;

private:
    void buildControls();
    // The selected channel, or 0 after telling that none is selected.
    int channelOrTold() const;
    // Waits, without spinning, until the command needs no more waiting.
    void waitFor(const CommandClass& cmd);

    int mFocusDX = 0;
    int mFocusDY = 0;
    RemoteChannels::TextMetrics m_metrics;
};
