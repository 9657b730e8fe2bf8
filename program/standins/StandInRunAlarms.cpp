#include "program/standins/StandInRunAlarms.h"

#include "platform/Captions.h"
#include "platform/Forms.h"
#include "platform/Guard.h"
#include "platform/Icons.h"
#include "platform/Theme.h"
#include "program/core/FormNames.h"

#include <QLabel>
#include <QTimer>

StandInRunAlarms::StandInRunAlarms() : StandInScreen(FormNames::wRunAlarms)
{
    lblTitle = newTitle();
    lblTitle->setObjectName(QStringLiteral("lblTitle"));
    plat::setTag(lblTitle, 710010);

    lblEmpty = new QLabel(this);
    lblEmpty->setObjectName(QStringLiteral("lblEmpty"));
    lblEmpty->setFont(plat::Theme::font(18, false));
    lblEmpty->setAlignment(Qt::AlignCenter);
    lblEmpty->setGeometry(24, 240, Width - 48, 48);
    plat::setTag(lblEmpty, 710012);

    imgLeave = new plat::PictureButton(this);
    imgLeave->setObjectName(QStringLiteral("imgLeave"));
    imgLeave->setSvg(plat::Icons::svg(QStringLiteral("leave")));
    imgLeave->setGeometry(Width - 120, Height - 120, 96, 96);
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
        plat::Forms::Get(FormNames::wMain)->Show();
        plat::Forms::Unload(this);
    });
}
