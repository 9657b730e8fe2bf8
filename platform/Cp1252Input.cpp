#include "platform/Cp1252Input.h"

#include "platform/Beep.h"
#include "platform/Cp1252.h"

#include <QMimeData>

namespace plat::Cp1252Input {

bool Refuse(const QString& text)
{
    if (Cp1252::canEncode(text))
        return false;
    Beep();
    return true;
}

bool Refuse(const QMimeData* data)
{
    return data && data->hasText() && Refuse(data->text());
}

} // namespace plat::Cp1252Input
