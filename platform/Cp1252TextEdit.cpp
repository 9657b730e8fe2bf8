#include "platform/Cp1252TextEdit.h"

namespace plat {

void Cp1252TextEdit::insertFromMimeData(const QMimeData* source)
{
    if (!Cp1252Input::Refuse(source))
        QPlainTextEdit::insertFromMimeData(source);
}

} // namespace plat
