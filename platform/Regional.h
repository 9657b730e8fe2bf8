#pragma once
// The regional settings of the panel: separators and the named date and time
// formats. Set in one place; tests pin them. Patterns use Qt's date syntax.

#include <QChar>
#include <QString>

namespace plat::Regional {

QString shortDateFormat();      // "Short Date", default "dd/MM/yyyy"
QString longTimeFormat();       // "Long Time", default "HH:mm:ss"
QChar decimalSeparator();       // default '.'
QChar thousandSeparator();      // default ','
QChar listSeparator();          // default ','

void setShortDateFormat(const QString& pattern);
void setLongTimeFormat(const QString& pattern);
void setDecimalSeparator(QChar c);
void setThousandSeparator(QChar c);
void setListSeparator(QChar c);

// Back to the defaults above.
void reset();

} // namespace plat::Regional
