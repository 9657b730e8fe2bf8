#pragma once
// The library text editor: the 64 library texts of 24 characters that the
// channels refer to by number.

#include "program/screens/system/TextEditorScreen.h"

class wParamBiblio : public TextEditorScreen {
    Q_OBJECT
public:
    wParamBiblio();

    // The number last shown and the clipboard, kept from one visit to the next.
    static TextEditorModel::Memory& Memory();
};
