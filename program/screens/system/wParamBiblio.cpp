#include "program/screens/system/wParamBiblio.h"

#include "program/core/FormNames.h"

wParamBiblio::wParamBiblio()
    : TextEditorScreen(FormNames::wParamBiblio, TextEditorModel::Library, Memory(), {QStringLiteral("lstBiblio"), 400111, 400151, false})
{
}

TextEditorModel::Memory& wParamBiblio::Memory()
{
    static TextEditorModel::Memory memory;
    return memory;
}
