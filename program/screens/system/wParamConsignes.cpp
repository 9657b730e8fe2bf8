#include "program/screens/system/wParamConsignes.h"

#include "program/core/FormNames.h"
#include "program/core/TextIds.h"

wParamConsignes::wParamConsignes()
    : TextEditorScreen(FormNames::wParamConsignes, TextEditorModel::Instructions, Memory(),
                       {QStringLiteral("lstConsigne"), TextIds::InstructionEditorTitle, TextIds::InstructionNumber, true})
{
}

TextEditorModel::Memory& wParamConsignes::Memory()
{
    static TextEditorModel::Memory memory;
    return memory;
}
