#include "program/screens/system/dlgMenuSystem.h"

#include "platform/Captions.h"
#include "program/core/FormNames.h"

#include <QLabel>
#include <QPushButton>

namespace {
constexpr int kSystemEntry = 2;
}

dlgMenuSystem::dlgMenuSystem() : MenuDialog(FormNames::dlgMenuSystem, kSystemEntry)
{
    plat::setTag(lblLabels(0), 610010);
    plat::setTag(cmdButtons(0), 10008);
    plat::setTag(cmdButtons(1), 610020);
    plat::setTag(cmdButtons(2), 610021);
    plat::setTag(cmdButtons(3), 610022);
    plat::setTag(cmdButtons(4), 610023);
}
