#include "program/bus/FixedRecord.h"

void FixedRecord::setField(int pos, int width, const QString& value)
{
    if (pos < 0 || width <= 0 || pos >= length())
        return;
    width = qMin(width, length() - pos);
    const int n = qMin(width, int(value.size()));
    QChar* out = m_text.data() + pos;
    for (int i = 0; i < n; ++i) {
        const QChar c = value.at(i);
        out[i] = (c.isNull() || c == QLatin1Char('\r') || c == QLatin1Char('\n')) ? QLatin1Char(' ') : c;
    }
    for (int i = n; i < width; ++i)
        out[i] = QLatin1Char(' ');
}

void FixedRecord::placeRaw(int pos, const QString& text)
{
    if (pos < 0 || pos >= length())
        return;
    const int n = qMin(int(text.size()), length() - pos);
    for (int i = 0; i < n; ++i)
        m_text[pos + i] = text.at(i);
}

QString FixedRecord::digits(qint64 n, int digits)
{
    const QString body = QString::number(n < 0 ? -n : n).rightJustified(digits, QLatin1Char('0'));
    return n < 0 ? QLatin1Char('-') + body : body;
}
