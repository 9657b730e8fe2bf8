#pragma once
// The module button of the remote-control overview: one touch button for one
// module, showing its number, model name and title and twelve round lamps
// coloured by its channels' states when Update is called. A touch anywhere on
// it raises Click. It holds the live module record of the configuration.

#include "platform/ControlArray.h"

#include <QWidget>

#include <memory>

class PanelClass;
class QAbstractButton;
class QLabel;

namespace plat {
class Shape;
}

class Telecommande : public QWidget {
    Q_OBJECT
public:
    static constexpr int Channels = 12;
    // The grey of a lamp whose channel is in state 0 (LampRows::LampColor).
    static constexpr unsigned int LampOff = 0x808080;

    explicit Telecommande(QWidget* parent = nullptr);

    std::shared_ptr<PanelClass> Panel() const;
    void setPanel(std::shared_ptr<PanelClass> panel);
    // Colours the lamps from the channels' states; an error before Panel is set.
    void Update();

    void imgButton_Click();
    void UserControl_Initialize();
    // The face fixes the control's size; the touch surface covers it.
    void UserControl_Resize();

    plat::Shape* shpFond = nullptr;
    QLabel* lblPnlTitle = nullptr;
    plat::Shape* Line1 = nullptr;
    QLabel* lblNumPan = nullptr;
    QLabel* lblTypePan = nullptr;
    plat::ControlArray<QLabel> lblNumChnl{QStringLiteral("lblNumChnl")};
    plat::ControlArray<plat::Shape> shpChnlState{QStringLiteral("shpChnlState")};
    QAbstractButton* imgButton = nullptr;

signals:
    void Click();

protected:
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::shared_ptr<PanelClass> m_panel;
    bool m_resizing = false;
};
