#pragma once
// A mirror chosen in the mirror edit dialog the way a technician chooses it:
// by touching its arrows from whatever the dialog shows, then a type and OK.

#include "program/core/Globals.h"
#include "program/screens/bus/MirrorChoice.h"
#include "program/screens/bus/dlgEditMirror.h"

#include <QFrame>
#include <QGroupBox>
#include <QRadioButton>
#include <QTest>

namespace mirror_touches {

inline void touch(QWidget* w)
{
    QTest::mouseClick(w, Qt::LeftButton, {}, w->rect().center());
}

// Steps a number with its down and up arrows until it reads target.
inline void stepTo(dlgEditMirror* d, plat::Label* number, int target, int down, int up)
{
    for (int guard = 0; guard < 80 && MirrorChoice::Number(number->Caption()) != target; ++guard)
        touch(d->imgPlusMoins(MirrorChoice::Number(number->Caption()) < target ? up : down));
}

// The source (unless the caller fixed it), the destination and, for a
// channel mirror, its type (0 leaves both options clear).
inline void choose(dlgEditMirror* d, const MirrorChoice::Mirror& m)
{
    if (d->imgPlusMoins(MirrorChoice::SourceModuleUp)->isVisible())
        stepTo(d, d->lblSrceModNo, m.fromModule, MirrorChoice::SourceModuleDown, MirrorChoice::SourceModuleUp);
    stepTo(d, d->lblDestModNo, m.toModule, MirrorChoice::DestModuleDown, MirrorChoice::DestModuleUp);
    if (d->imgPlusMoins(MirrorChoice::SourceChannelUp)->isVisible()) {
        if (m.fromChannel == 0) {
            while (d->lblSrceChnlNo->Caption() != gNoChannelText)
                touch(d->imgPlusMoins(MirrorChoice::SourceChannelDown));
        } else {
            stepTo(d, d->lblSrceChnlNo, m.fromChannel, MirrorChoice::SourceChannelDown,
                   MirrorChoice::SourceChannelUp);
        }
    }
    if (d->frmDestChnl->isVisible())
        stepTo(d, d->lblDestChnlNo, m.toChannel, MirrorChoice::DestChannelDown, MirrorChoice::DestChannelUp);
    if (m.mirrorType > 0 && d->frmType->isVisible())
        touch(d->optType(m.mirrorType));
}

inline void chooseAndConfirm(dlgEditMirror* d, const MirrorChoice::Mirror& m)
{
    choose(d, m);
    touch(d->imgControl(dlgEditMirror::ControlOk));
}

} // namespace mirror_touches
