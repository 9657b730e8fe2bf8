#include "program/screens/system/wParamBiblio.h"

wParamBiblio::wParamBiblio()
    : TextEditorScreen(FormName, TextEditorModel::Library, Memory(), {QStringLiteral("lstBiblio"), 400111, 400151, false})
{
}

TextEditorModel::Memory& wParamBiblio::Memory()
{
    static TextEditorModel::Memory memory;
    return memory;
}
