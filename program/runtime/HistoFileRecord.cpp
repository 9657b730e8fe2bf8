#include "program/runtime/HistoFileRecord.h"

QString HistoFileRecord::Title()
{
    const QChar nbsp(0x00A0);
    HistoFileRecord r;
    r.set(Date, QStringLiteral("Date"));
    r.set(Time, QStringLiteral("Time"));
    r.set(Num, QStringLiteral("Evt") + nbsp + QStringLiteral("No"));
    r.set(PnlCnt, QStringLiteral("PnlCnt"));
    r.set(Origin, QStringLiteral("Origin"));
    r.set(Parameter, QStringLiteral("Parameter"));
    r.set(Display, QStringLiteral("Display"));
    r.set(Common, QStringLiteral("Common") + nbsp + QStringLiteral("text"));
    r.set(Specific, QStringLiteral("Specific") + nbsp + QStringLiteral("text"));
    return r.text();
}
