#include "program/core/StandInRunAlarms.h"

#include "platform/Captions.h"
#include "platform/Forms.h"
#include "platform/Guard.h"
#include "platform/Theme.h"

#include <QLabel>
#include <QPainter>
#include <QTimer>

namespace {

constexpr int kWidth = 800;
constexpr int kHeight = 600;
constexpr int kBand = 64;
constexpr int kTitleText = 710010;
constexpr int kNoAlarmText = 710012;
const QString kMainForm = QStringLiteral("wMain");

QByteArray leaveIcon()
{
    const QByteArray ink = plat::Theme::text().name().toLatin1();
    return "<svg xmlns='http://www.w3.org/2000/svg' width='48' height='48' viewBox='0 0 48 48'>"
           "<path d='M8 24 L24 9 L40 24 M14 19 L14 39 L34 39 L34 19' fill='none' stroke='"
        + ink + "' stroke-width='5' stroke-linecap='round' stroke-linejoin='round'/></svg>";
}

} // namespace

void StandInRunAlarms::registerForm()
{
    plat::Forms::registerForm(FormName, [] { return new StandInRunAlarms; });
}

StandInRunAlarms::StandInRunAlarms() : plat::Form(FormName)
{
    // A full screen of the 800 x 600 panel.
    setMinimumSize(kWidth, kHeight);
    resize(kWidth, kHeight);
    lblTitle = new QLabel(this);
    lblTitle->setObjectName(QStringLiteral("lblTitle"));
    lblTitle->setFont(plat::Theme::font(20, true));
    lblTitle->setStyleSheet(QStringLiteral("color: white;"));
    lblTitle->setGeometry(24, 0, kWidth - 48, kBand);
    plat::setTag(lblTitle, kTitleText);

    lblEmpty = new QLabel(this);
    lblEmpty->setObjectName(QStringLiteral("lblEmpty"));
    lblEmpty->setFont(plat::Theme::font(18, false));
    lblEmpty->setAlignment(Qt::AlignCenter);
    lblEmpty->setGeometry(24, 240, kWidth - 48, 48);
    plat::setTag(lblEmpty, kNoAlarmText);

    imgLeave = new plat::PictureButton(this);
    imgLeave->setObjectName(QStringLiteral("imgLeave"));
    imgLeave->setSvg(leaveIcon());
    imgLeave->setGeometry(kWidth - 120, kHeight - 120, 96, 96);
    connect(imgLeave, &QAbstractButton::clicked, this, [this] { imgLeave_Click(); });
}

void StandInRunAlarms::Form_Load()
{
    plat::guard(QStringLiteral("wRunAlarms.Form_Load"), [&] { Nationality(); });
}

bool StandInRunAlarms::Form_QueryUnload(plat::UnloadMode mode)
{
    // The close box leaves the screen as the leave button does.
    if (mode == plat::vbFormControlMenu) {
        QTimer::singleShot(0, this, [this] { imgLeave_Click(); });
        return true;
    }
    return false;
}

void StandInRunAlarms::imgLeave_Click()
{
    plat::guard(QStringLiteral("wRunAlarms.imgLeave_Click"), [&] {
        plat::Forms::Get(kMainForm)->Show();
        plat::Forms::Unload(this);
    });
}

void StandInRunAlarms::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.fillRect(rect(), plat::Theme::window());
    p.fillRect(QRect(0, 0, width(), kBand), plat::Theme::accent());
}
