#include "program/runtime/ModuleLampScreen.h"

#include "program/core/Global.h"
#include "program/core/PanelClass.h"

#include "platform/Captions.h"
#include "platform/Guard.h"
#include "platform/RtError.h"

#include <QLabel>

ModuleLampScreen::ModuleLampScreen(const QString& name) : plat::Form(name) {}

void ModuleLampScreen::buildTimers(int pollIntervalMs, int clignIntervalMs)
{
    tmrPoll = new plat::FormTimer(QStringLiteral("tmrPoll"), this);
    tmrPoll->setInterval(pollIntervalMs);
    connect(tmrPoll, &plat::FormTimer::Timer, this, [this] { tmrPoll_Timer(); });
    tmrClign = new plat::FormTimer(QStringLiteral("tmrClign"), this);
    tmrClign->setInterval(clignIntervalMs);
    connect(tmrClign, &plat::FormTimer::Timer, this, [this] { tmrClign_Timer(); });
}

void ModuleLampScreen::Form_Unload()
{
    tmrPoll->setEnabled(false);
    tmrClign->setEnabled(false);
}

void ModuleLampScreen::Nationality()
{
    plat::guard(Name() + QStringLiteral(".Nationality"), [&] { plat::applyCaptions(this); });
}

void ModuleLampScreen::setPanel(std::shared_ptr<PanelClass> panel)
{
    MiseEnFormeModule(std::move(panel));
}

void ModuleLampScreen::MiseEnFormeModule(std::shared_ptr<PanelClass> panel)
{
    plat::guard(Name() + QStringLiteral(".MiseEnFormeModule"), [&] {
        if (!panel)
            plat::raise(plat::rt::ObjectVariableNotSet);
        mPanel = std::move(panel);
        lblModType(0)->setText(QString::number(mPanel->Numero()));
        lblModType(1)->setText(Global::ModuleName(mPanel->Model()));
        layOutChannels();
    });
}
