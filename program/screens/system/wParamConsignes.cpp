#include "program/screens/system/wParamConsignes.h"

wParamConsignes::wParamConsignes()
    : TextEditorScreen(FormName, TextEditorModel::Instructions, Memory(),
                       {QStringLiteral("lstConsigne"), 400110, 400150, true})
{
}

TextEditorModel::Memory& wParamConsignes::Memory()
{
    static TextEditorModel::Memory memory;
    return memory;
}
