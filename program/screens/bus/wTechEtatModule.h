#pragma once
// The live state of one module: a lamp per channel (12, or 24 for a module
// of 24 channels) coloured by the state word read straight from the bus
// every second, steady or blinking, the horn lamp, the outcome of the last
// read, and six buttons that write maintenance commands to the module. Shown
// modal over the technician screen, which enables its timers and unloads it.
// It reads the bus whether polling runs or not and changes nothing of the
// configuration. The rules are ModuleLamps'.

#include "program/runtime/ModuleLampScreen.h"
#include "program/screens/bus/ModuleLamps.h"

#include "platform/ControlArray.h"
#include "platform/PictureButton.h"

#include <QFrame>
#include <QPointer>

#include <functional>

class QLabel;

namespace plat {
class Shape;
}

class wTechEtatModule : public ModuleLampScreen {
    Q_OBJECT
public:
    static constexpr int PollIntervalMs = 1000;
    static constexpr int ClignIntervalMs = 150;
    // cmdBoutons: 1 lamp test, 2 and 3 acknowledgements, 4 horn on, 5 horn
    // off, 6 clear.
    static constexpr int LampTest = 1;
    static constexpr int Acknowledge = 2;
    static constexpr int AcknowledgeHorn = 3;
    static constexpr int HornOn = 4;
    static constexpr int HornOff = 5;
    static constexpr int Clear = 6;
    // Tries of one register group in a cycle.
    static constexpr int Tries = 3;

    wTechEtatModule();

    // How captions measure for their centring; the screen's font unless set.
    void setTextWidth(std::function<double(const QString&)> width) { m_width = std::move(width); }

    void Form_Load() override;
    void cmdBoutons_Click(int index);
    void imgClose_Click();
    void tmrPoll_Timer() override;
    void tmrClign_Timer() override;

    // The number of lamps laid out, and lamp i's tag (the state word last read, "" for none).
    int Lamps() const { return m_lamps; }
    QString LampTag(int i) const;
    bool Busy() const { return m_busy; }
    const ModuleLamps::Blink& BlinkState() const { return m_blink; }

    plat::ControlArray<QFrame> frmFrames{QStringLiteral("frmFrames")};
    plat::ControlArray<QLabel> lblLabels{QStringLiteral("lblLabels")};
    plat::ControlArray<plat::PictureButton> cmdBoutons{QStringLiteral("cmdBoutons")};
    plat::Shape* shpKlaxon = nullptr;
    plat::Shape* shpFond = nullptr;
    plat::Shape* LineSep = nullptr;
    QLabel* lblCommResult = nullptr;
    plat::PictureButton* imgClose = nullptr;
    plat::ControlArray<plat::Shape> shpVoyant{QStringLiteral("shpVoyant")};
    plat::ControlArray<QLabel> lblVoyant{QStringLiteral("lblVoyant")};
    plat::ControlArray<QLabel> lblNum{QStringLiteral("lblNum")};
    plat::ControlArray<plat::Shape> shpBkTxt{QStringLiteral("shpBkTxt")};
    plat::ControlArray<plat::Shape> shpBkLed{QStringLiteral("shpBkLed")};

protected:
    void paintEvent(QPaintEvent* event) override;
    // A lamp row for each channel of the module, 12 or 24.
    void layOutChannels() override;

private:
    void buildControls();
    void buildButton(int index, QWidget* frame, int top, int labelIndex, int tag, const char* icon);
    void readCycle();
    // One read of the module's registers; a port that is not open is
    // reported once a visit (it fails every try).
    bool read(int reg, QVector<qint16>& words);
    // The status line, shown at once.
    void status(int textId);
    // The yield after a failed try; false when the cycle must end (the
    // screen is being closed or is gone).
    bool pauseAfterFailure(const QPointer<wTechEtatModule>& self);
    void lampsUnknown();

    int m_lamps = 0;
    bool m_closing = false;
    bool m_busy = false;
    bool m_portReported = false;
    ModuleLamps::Blink m_blink;
    std::function<double(const QString&)> m_width;
};
