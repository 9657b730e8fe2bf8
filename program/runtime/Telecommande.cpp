#include "program/runtime/Telecommande.h"

#include "program/runtime/LampRows.h"

#include "program/core/ChannelClass.h"
#include "program/core/Global.h"
#include "program/core/PanelClass.h"

#include "platform/Guard.h"
#include "platform/RtError.h"
#include "platform/Shape.h"
#include "platform/Theme.h"

#include <QAbstractButton>
#include <QEvent>
#include <QLabel>
#include <QPainter>

namespace {

using LampRows::px;

constexpr int kWidth = 2550;
constexpr int kHeight = 2055;
// The face behind the texts (left to this button's look), the title's yellow.
constexpr unsigned int kFace = 0x40382F;
constexpr unsigned int kFaceBorder = 0x808080;
constexpr unsigned int kTitleColour = 0x00FFFF;
constexpr unsigned int kLampBorder = 0xFFFFFF;

constexpr int kLampSize = 210;
constexpr int kLampLefts[] = {195, 585, 975, 1380, 1770, 2160};
constexpr int kLampTops[] = {1065, 1695};
constexpr int kNumberTops[] = {765, 1395};
constexpr int kNumberWidth = 330;
constexpr int kNumberHeight = 255;

// The transparent touch surface.
class TouchSurface : public QAbstractButton {
public:
    using QAbstractButton::QAbstractButton;

protected:
    void paintEvent(QPaintEvent*) override
    {
        // Pressed, the whole face darkens a little.
        if (isDown()) {
            QPainter p(this);
            p.fillRect(rect(), QColor(0, 0, 0, 60));
        }
    }
};

QLabel* label(QWidget* parent, const char* name, int pointSize, unsigned int colour, Qt::Alignment align)
{
    auto* l = new QLabel(parent);
    if (name)
        l->setObjectName(QLatin1String(name));
    l->setFont(plat::Theme::font(pointSize, true));
    l->setAlignment(align);
    QPalette pal = l->palette();
    pal.setColor(QPalette::WindowText, plat::Theme::fromBgr(colour));
    l->setPalette(pal);
    l->setAttribute(Qt::WA_TransparentForMouseEvents);
    return l;
}

} // namespace

Telecommande::Telecommande(QWidget* parent) : QWidget(parent)
{
    resize(px(kWidth), px(kHeight));
    shpFond = new plat::Shape(plat::Shape::Rectangle, this);
    shpFond->setObjectName(QStringLiteral("shpFond"));
    shpFond->setGeometry(0, 0, px(kWidth), px(kHeight));
    shpFond->setFilled(true);
    shpFond->setFillColor(kFace);
    shpFond->setBorderColor(kFaceBorder);
    shpFond->setBorderWidth(3);

    lblPnlTitle = label(this, "lblPnlTitle", 9, kTitleColour, Qt::AlignCenter);
    lblPnlTitle->setGeometry(px(60), px(60), px(2415), px(285));

    Line1 = new plat::Shape(plat::Shape::Line, this);
    Line1->setObjectName(QStringLiteral("Line1"));
    Line1->setBorderColor(kFaceBorder);
    Line1->setBorderWidth(3);
    Line1->setGeometry(px(30), px(375) - 1, px(2505) - px(30), 3);

    lblNumPan = label(this, "lblNumPan", 11, 0xFFFFFF, Qt::AlignLeft | Qt::AlignVCenter);
    lblNumPan->setGeometry(px(105), px(450), px(330), px(255));
    lblTypePan = label(this, "lblTypePan", 11, 0xFFFFFF, Qt::AlignRight | Qt::AlignVCenter);
    lblTypePan->setGeometry(px(465), px(450), px(1980), px(255));

    for (int i = 1; i <= Channels; ++i) {
        const int column = (i - 1) % 6;
        const int row = (i - 1) / 6;
        const int left = kLampLefts[column];
        auto* number = lblNumChnl.add(i, label(this, nullptr, 8, 0xFFFFFF, Qt::AlignCenter));
        number->setText(QString::number(i));
        number->setGeometry(px(left + kLampSize / 2 - kNumberWidth / 2), px(kNumberTops[row]), px(kNumberWidth),
                            px(kNumberHeight));
        auto* lamp = shpChnlState.add(i, new plat::Shape(plat::Shape::Circle, this));
        lamp->setFilled(true);
        lamp->setFillColor(LampOff);
        lamp->setBorderColor(kLampBorder);
        lamp->setBorderWidth(1);
        lamp->setGeometry(px(left), px(kLampTops[row]), px(kLampSize), px(kLampSize));
    }

    imgButton = new TouchSurface(this);
    imgButton->setObjectName(QStringLiteral("imgButton"));
    imgButton->setCursor(Qt::PointingHandCursor);
    imgButton->setFocusPolicy(Qt::NoFocus);
    connect(imgButton, &QAbstractButton::clicked, this, [this] { imgButton_Click(); });
    shpFond->installEventFilter(this);
    imgButton->installEventFilter(this);
    UserControl_Initialize();
    UserControl_Resize();
}

void Telecommande::UserControl_Initialize()
{
    plat::guard(QStringLiteral("Telecommande.UserControl_Initialize"), [&] {
        // Drawn nowhere: the touch surface only takes the touches.
        imgButton->setAttribute(Qt::WA_NoSystemBackground);
        imgButton->raise();
    });
}

void Telecommande::UserControl_Resize()
{
    if (m_resizing)
        return;
    m_resizing = true;
    plat::guard(QStringLiteral("Telecommande.UserControl_Resize"), [&] {
        if (size() != shpFond->size())
            resize(shpFond->size());
        imgButton->setGeometry(rect());
    });
    m_resizing = false;
}

void Telecommande::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    UserControl_Resize();
}

bool Telecommande::eventFilter(QObject* watched, QEvent* event)
{
    // Scaling moves the face and the touch surface one by one: the control follows.
    if ((watched == shpFond || watched == imgButton) && (event->type() == QEvent::Resize || event->type() == QEvent::Move))
        UserControl_Resize();
    return QWidget::eventFilter(watched, event);
}

std::shared_ptr<PanelClass> Telecommande::Panel() const
{
    return m_panel;
}

void Telecommande::setPanel(std::shared_ptr<PanelClass> panel)
{
    plat::guard(QStringLiteral("Telecommande.Panel"), [&] {
        if (!panel)
            plat::raise(plat::rt::ObjectVariableNotSet);
        m_panel = std::move(panel);
        lblNumPan->setText(QStringLiteral("%1").arg(int(m_panel->Numero()), 2, 10, QLatin1Char('0')));
        lblTypePan->setText(Global::ModuleName(m_panel->Model()));
        lblPnlTitle->setText(m_panel->Title());
    });
}

void Telecommande::Update()
{
    plat::guard(QStringLiteral("Telecommande.Update"), [&] {
        if (!m_panel)
            plat::raise(plat::rt::ObjectVariableNotSet);
        for (int i = 1; i <= Channels; ++i)
            shpChnlState(i)->setFillColor(LampRows::LampColor(m_panel->Channel(qint16(i))->State(), LampOff));
    });
}

void Telecommande::imgButton_Click()
{
    plat::guard(QStringLiteral("Telecommande.imgButton_Click"), [&] { emit Click(); });
}
