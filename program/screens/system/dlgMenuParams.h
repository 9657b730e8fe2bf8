#pragma once
// The parameters menu: instruction texts, library texts, event options, printer.

#include "program/screens/system/MenuDialog.h"

class dlgMenuParams : public MenuDialog {
    Q_OBJECT
public:
    dlgMenuParams();
};
