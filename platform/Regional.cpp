#include "platform/Regional.h"

namespace plat::Regional {

namespace {
struct Settings {
    QString shortDate = QStringLiteral("dd/MM/yyyy");
    QString longTime = QStringLiteral("HH:mm:ss");
    QChar decimal = '.';
    QChar thousand = ',';
    QChar list = ',';
};
Settings& settings()
{
    static Settings s;
    return s;
}
} // namespace

QString shortDateFormat() { return settings().shortDate; }
QString longTimeFormat() { return settings().longTime; }
QChar decimalSeparator() { return settings().decimal; }
QChar thousandSeparator() { return settings().thousand; }
QChar listSeparator() { return settings().list; }

void setShortDateFormat(const QString& pattern) { settings().shortDate = pattern; }
void setLongTimeFormat(const QString& pattern) { settings().longTime = pattern; }
void setDecimalSeparator(QChar c) { settings().decimal = c; }
void setThousandSeparator(QChar c) { settings().thousand = c; }
void setListSeparator(QChar c) { settings().list = c; }

void reset() { settings() = Settings{}; }

} // namespace plat::Regional
