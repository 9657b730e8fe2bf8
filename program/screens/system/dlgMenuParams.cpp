#include "program/screens/system/dlgMenuParams.h"

#include "platform/Captions.h"
#include "program/core/FormNames.h"

#include <QLabel>
#include <QPushButton>

namespace {
constexpr int kParamsEntry = 1;
}

dlgMenuParams::dlgMenuParams() : MenuDialog(FormNames::dlgMenuParams, kParamsEntry)
{
    plat::setTag(lblLabels(0), 400100);
    plat::setTag(cmdButtons(0), 10008);
    plat::setTag(cmdButtons(1), 400110);
    plat::setTag(cmdButtons(2), 400111);
    plat::setTag(cmdButtons(3), 400112);
    plat::setTag(cmdButtons(4), 400113);
}
