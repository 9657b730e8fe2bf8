#include "program/runtime/wTeleCmdes.h"

#include "program/runtime/LampRows.h"
#include "program/runtime/RemotePages.h"
#include "program/runtime/RuntimeLook.h"
#include "program/runtime/wTeleCmde.h"

#include "program/core/ConfigClass.h"
#include "program/core/Global.h"
#include "program/core/Globals.h"
#include "program/core/PanelClass.h"

#include "platform/Captions.h"
#include "platform/Forms.h"
#include "platform/Guard.h"
#include "platform/RtError.h"
#include "platform/Theme.h"

#include <QLabel>
#include <QPainter>
#include <QPointer>

namespace {

constexpr int kWidth = RuntimeLook::ScreenWidth;
constexpr int kHeight = RuntimeLook::ScreenHeight;

using LampRows::px;

// The background picture of what the screen paints, stretched with the screen.
QPixmap background(const plat::ScreenParts::Parts& parts)
{
    QPixmap pm(kWidth, kHeight);
    QPainter p(&pm);
    plat::ScreenParts::paint(p, parts, pm.size());
    return pm;
}

} // namespace

wTeleCmdes::wTeleCmdes() : plat::Form(FormNames::wTeleCmdes)
{
    buildControls();
}

void wTeleCmdes::buildControls()
{
    setFixedSize(kWidth, kHeight);
    plat::ScreenParts::state(this, RuntimeLook::screenParts());

    imgBackPicture = new QLabel(this);
    imgBackPicture->setObjectName(QStringLiteral("imgBackPicture"));
    imgBackPicture->setPixmap(background(plat::ScreenParts::stated(this)));
    imgBackPicture->setScaledContents(true);
    imgBackPicture->setGeometry(rect());
    imgBackPicture->lower();

    // The title twice, one pixel apart: white over black, within the band.
    const QColor colours[] = {Qt::black, Qt::white};
    const QPoint places[] = {{px(390), px(285)}, {px(405), px(300)}};
    const QSize size(px(4635), RuntimeLook::Band - places[1].y());
    for (int i = 0; i < 2; ++i) {
        auto* l = lblLabels.add(i, new QLabel(this));
        l->setFont(plat::Theme::font(20, true));
        l->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        QPalette pal = l->palette();
        pal.setColor(QPalette::WindowText, colours[i]);
        l->setPalette(pal);
        l->setGeometry(QRect(places[i], size));
        plat::setTag(l, 210010);
    }
    plat::markShadow(lblLabels(0), lblLabels(1));

    auto* element0 = Telecmde.add(0, new Telecommande(this));
    element0->move(px(RemotePages::FirstButtonTwips.x()), px(RemotePages::FirstButtonTwips.y()));
    element0->hide();

    struct Navig {
        int index;
        const char* icon;
        int left;
    };
    const Navig navig[] = {{NavigPreviousGreyed, "previous", 8655}, {NavigNextGreyed, "next", 10335},
                           {NavigPrevious, "previous", 8655},       {NavigNext, "next", 10335},
                           {NavigClose, "cancel", 150}};
    for (const Navig& n : navig) {
        auto* b = imgNavig.add(n.index, RuntimeLook::button(this, nullptr, n.icon,
                                                            QRect(px(n.left), px(8130), px(1500), px(750))));
        const int index = n.index;
        connect(b, &QAbstractButton::clicked, this, [this, index] { imgNavig_Click(index); });
    }
    // The greyed arrows only show where their button is hidden.
    imgNavig(NavigPreviousGreyed)->setEnabled(false);
    imgNavig(NavigNextGreyed)->setEnabled(false);
    imgNavig(NavigPrevious)->hide();
}

void wTeleCmdes::Form_Load()
{
    plat::guard(QStringLiteral("wTeleCmdes.Form_Load"), [&] {
        mPanels = RemotePages::Modules(*gConfig);
        if (count() <= RemotePages::PerPage) {
            imgNavig(NavigPrevious)->hide();
            imgNavig(NavigNext)->hide();
        }
        mFirst = 1;
        HabillePanneaux();
        Nationality();
        Global::MiseAEchelle(this);
    });
}

void wTeleCmdes::Form_Activate()
{
    HabillePanneaux();
}

void wTeleCmdes::Nationality()
{
    plat::guard(QStringLiteral("wTeleCmdes.Nationality"), [&] { plat::applyCaptions(this); });
}

void wTeleCmdes::HabillePanneaux()
{
    plat::guard(QStringLiteral("wTeleCmdes.HabillePanneaux"), [&] {
        for (int k = Telecmde.ubound(); k >= 1; --k) {
            Telecmde(k)->hide();
            Telecmde.unload(k);
        }
        // Buttons made once the screen has been scaled are scaled as it was;
        // those of the load are scaled with it.
        const bool scaled = size() != QSize(kWidth, kHeight);
        for (int k = 1; k <= RemotePages::PerPage; ++k) {
            const int i = mFirst + k - 1;
            if (i > count())
                break;
            Telecommande* button = Telecmde.load(k, [this](Telecommande*) { return new Telecommande(this); });
            const QPoint at = RemotePages::ButtonTwips(k);
            button->move(px(at.x()), px(at.y()));
            if (scaled)
                Global::MiseAEchelle(button, size());
            button->setPanel(gConfig->Panel(mPanels[size_t(i)]));
            button->Update();
            connect(button, &Telecommande::Click, this, [this, k] { Telecmde_Click(k); });
            button->show();
        }
    });
}

void wTeleCmdes::imgNavig_Click(int index)
{
    plat::guard(QStringLiteral("wTeleCmdes.imgNavig_Click"), [&] {
        if (index == NavigClose) {
            plat::Forms::Unload(this);
            return;
        }
        if (index == NavigPrevious && mFirst > RemotePages::PerPage) {
            mFirst = RemotePages::PreviousFirst(mFirst);
            HabillePanneaux();
        } else if (index == NavigNext && RemotePages::NextShown(mFirst, count())) {
            mFirst = RemotePages::NextFirst(mFirst, count());
            HabillePanneaux();
        }
        imgNavig(NavigPrevious)->setVisible(RemotePages::PreviousShown(mFirst));
        imgNavig(NavigNext)->setVisible(RemotePages::NextShown(mFirst, count()));
    });
}

void wTeleCmdes::Telecmde_Click(int index)
{
    plat::guard(QStringLiteral("wTeleCmdes.Telecmde_Click"), [&] {
        const std::shared_ptr<PanelClass> panel = Telecmde(index)->Panel();
        // Each opening builds its rows on a screen of its own.
        if (plat::Form* previous = plat::Forms::Find(FormNames::wTeleCmde))
            plat::Forms::Unload(previous);
        QPointer<wTeleCmde> screen = qobject_cast<wTeleCmde*>(plat::Forms::Get(FormNames::wTeleCmde));
        if (!screen)
            plat::raise(plat::rt::ObjectDoesNotSupport);
        screen->setPanel(panel);
        screen->tmrPoll->setEnabled(true);
        screen->tmrClign->setEnabled(true);
        screen->Show(true, this);
        // It unloads itself when closed; one still there is stopped, not loaded again.
        if (screen && !screen->IsUnloaded()) {
            screen->tmrPoll->setEnabled(false);
            screen->tmrClign->setEnabled(false);
        }
    });
}
