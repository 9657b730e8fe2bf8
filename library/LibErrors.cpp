#include "library/LibErrors.h"

#include "VexLib22/VexLib22.h"

#include <QWidget>

namespace VexLib22 {

QString libString(int id)
{
    switch (id) {
    case Err::FormRequired: return QString::fromUtf8("La fonction requiert un objet Form en paramètre.");
    case Err::PrinterRequired: return QString::fromUtf8("La fonction requiert un objet Printer en paramètre.");
    case Err::InsertSorted: return QString::fromUtf8("L'insertion à une position donnée dans un tableau trié n'est pas autorisée.");
    case Err::SetAtSorted: return QString::fromUtf8("L'écriture à une position donnée dans un tableau trié n'est pas autorisée.");
    case Err::SetCountSorted: return QString::fromUtf8("Le changement de taille direct d'un tableau de chaines n'est pas autorisé si le tableau est trié.");
    case Err::SortedNotEmpty: return QString::fromUtf8("La propriété Sorted d'un objet StringArray n'est autorisée que si le tableau est vide.");
    default: return QString();
    }
}

void raiseLibError(int id)
{
    throw plat::RtError(id, libString(id), kTitle);
}

void raiseRtError(int number)
{
    throw plat::rtError(number, kTitle);
}

void CheckFormArg(const QObject* arg)
{
    const auto* w = qobject_cast<const QWidget*>(arg);
    if (!w || !w->isWindow())
        raiseLibError(Err::FormRequired);
}

} // namespace VexLib22
