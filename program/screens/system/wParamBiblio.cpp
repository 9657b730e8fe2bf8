#include "program/screens/system/wParamBiblio.h"

#include "program/core/FormNames.h"
#include "program/core/TextIds.h"

wParamBiblio::wParamBiblio()
    : TextEditorScreen(FormNames::wParamBiblio, TextEditorModel::Library, Memory(), {QStringLiteral("lstBiblio"), TextIds::LibraryEditorTitle, TextIds::LibraryNumber, false})
{
}

TextEditorModel::Memory& wParamBiblio::Memory()
{
    static TextEditorModel::Memory memory;
    return memory;
}
