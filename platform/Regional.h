#pragma once
// The regional settings of the panel: separators and the named date and time
// formats. Patterns use Qt's date syntax.
//
// The separators come from the locale of the process: the system's (LC_ALL,
// LC_NUMERIC, LANG) unless setLocale() pinned another. Qt holds that locale
// once for the whole process, so the program and each of its libraries, which
// hold copies of this layer of their own, read the same separators.

#include <QChar>
#include <QLocale>
#include <QString>

namespace plat::Regional {

QString shortDateFormat();      // "Short Date", default "dd/MM/yyyy"
QString longTimeFormat();       // "Long Time", default "HH:mm:ss"

// The locale of the process (the system's unless pinned).
QLocale locale();
QChar decimalSeparator();       // the locale's decimal point
QChar thousandSeparator();      // the locale's digit group separator
// The locale has none: ";" where the decimal separator is a comma, else ",".
QChar listSeparator();

void setShortDateFormat(const QString& pattern);
void setLongTimeFormat(const QString& pattern);
// Pins the locale for the whole process.
void setLocale(const QLocale& locale);

// Back to the default formats above and the C locale ("." and ","): the
// fixed settings of the tests.
void reset();

} // namespace plat::Regional
