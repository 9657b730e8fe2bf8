#pragma once
// Drives the bus settings screen as a finger does: the pointer moved to a
// field with the arrows, then the field's picker opened and answered.

#include "platform/Values.h"
#include "program/screens/system/wSysComm.h"
#include "tests/support/ModalAnswers.h"

#include <QTest>

namespace bus_settings_touches {

using testing_support::ModalAnswers;

inline void touch(QWidget* w)
{
    QTest::mouseClick(w, Qt::LeftButton, {}, w->rect().center());
}

// The picker of field answered with value ("" cancels it); a message box that
// follows it is answered with then (0: none is expected).
inline void choose(wSysComm* s, int field, const QString& value, ModalAnswers& answers, int then = 0)
{
    while (int(plat::Val(s->lblBusPointer->Caption())) > field)
        touch(s->imgBusDir(0));
    while (int(plat::Val(s->lblBusPointer->Caption())) < field)
        touch(s->imgBusDir(1));
    answers.pick(value);
    if (then)
        answers.message(then);
    touch(s->imgBusModif);
}

} // namespace bus_settings_touches
