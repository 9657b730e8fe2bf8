#pragma once
// The instruction text editor: the 48 instruction texts of up to 1024
// characters, line breaks allowed, that the channels refer to by number; an
// instruction can also be imported from the start of a text file.

#include "program/screens/system/TextEditorScreen.h"

class wParamConsignes : public TextEditorScreen {
    Q_OBJECT
public:
    wParamConsignes();

    // The number last shown and the clipboard, kept from one visit to the next.
    static TextEditorModel::Memory& Memory();
};
