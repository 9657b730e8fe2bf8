#include "platform/Regional.h"

namespace plat::Regional {

namespace {
struct Formats {
    QString shortDate = QStringLiteral("dd/MM/yyyy");
    QString longTime = QStringLiteral("HH:mm:ss");
};
Formats& formats()
{
    static Formats f;
    return f;
}

QChar firstOf(const QString& s, QChar fallback)
{
    return s.isEmpty() ? fallback : s.at(0);
}
} // namespace

QString shortDateFormat() { return formats().shortDate; }
QString longTimeFormat() { return formats().longTime; }

QLocale locale() { return QLocale(); }
QChar decimalSeparator() { return firstOf(locale().decimalPoint(), u'.'); }
QChar thousandSeparator() { return firstOf(locale().groupSeparator(), u','); }
QChar listSeparator() { return decimalSeparator() == u',' ? u';' : u','; }

void setShortDateFormat(const QString& pattern) { formats().shortDate = pattern; }
void setLongTimeFormat(const QString& pattern) { formats().longTime = pattern; }
void setLocale(const QLocale& locale) { QLocale::setDefault(locale); }

void reset()
{
    formats() = Formats{};
    setLocale(QLocale::c());
}

} // namespace plat::Regional
