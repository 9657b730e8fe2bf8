#include "program/screens/system/wParamConsignes.h"

#include "program/core/FormNames.h"

wParamConsignes::wParamConsignes()
    : TextEditorScreen(FormNames::wParamConsignes, TextEditorModel::Instructions, Memory(),
                       {QStringLiteral("lstConsigne"), 400110, 400150, true})
{
}

TextEditorModel::Memory& wParamConsignes::Memory()
{
    static TextEditorModel::Memory memory;
    return memory;
}
