#include "platform/Values.h"

#include "platform/Regional.h"
#include "platform/RtError.h"

#include <QRegularExpression>
#include <algorithm>
#include <clocale>
#include <cmath>
#include <cstdlib>
#include <limits>

namespace plat {

namespace {

bool isDigit(QChar c) { return c >= '0' && c <= '9'; }

// Moves the digits at s[i] onto num; true when there was at least one.
bool takeDigits(const QString& s, qsizetype& i, QByteArray& num)
{
    const qsizetype start = i;
    while (i < s.size() && isDigit(s[i]))
        num += char(s[i++].unicode());
    return i > start;
}

int hexDigit(QChar c)
{
    if (c >= '0' && c <= '9')
        return c.unicode() - '0';
    if (c >= 'a' && c <= 'f')
        return c.unicode() - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c.unicode() - 'A' + 10;
    return -1;
}

// A radix literal after "&H" or "&O": 16-bit when it fits, else 32-bit, as the
// run-time typed such literals.
double radixValue(quint64 v)
{
    if (v <= 0xFFFFu)
        return double(int16_t(uint16_t(v)));
    if (v <= 0xFFFFFFFFu)
        return double(int32_t(uint32_t(v)));
    raise(rt::Overflow);
}

// Reads digits of the radix at s[i...]; returns false on no digit. Overflow
// beyond 64 bits raises 6 as any value beyond 32 bits does.
bool readRadix(const QString& s, qsizetype& i, int radix, quint64& v)
{
    v = 0;
    const qsizetype start = i;
    for (; i < s.size(); ++i) {
        const int d = hexDigit(s[i]);
        if (d < 0 || d >= radix)
            break;
        if (v > (std::numeric_limits<quint64>::max() >> 4))
            raise(rt::Overflow);
        v = v * quint64(radix) + quint64(d);
    }
    return i > start;
}

// Reads "&H..." or "&O..." at s[i]; sets ok when a prefix was there.
std::optional<double> readRadixLiteral(const QString& s, qsizetype& i)
{
    if (i + 1 >= s.size() || s[i] != '&')
        return std::nullopt;
    const QChar p = s[i + 1].toUpper();
    const int radix = p == 'H' ? 16 : p == 'O' ? 8 : 0;
    if (!radix)
        return std::nullopt;
    i += 2;
    quint64 v = 0;
    if (!readRadix(s, i, radix, v))
        return 0.0;
    return radixValue(v);
}

// The C reader, whatever the process locale: beyond the range of a double it
// gives infinity (overflow), below it zero.
double strtodC(const QByteArray& text)
{
    static const locale_t c = newlocale(LC_ALL_MASK, "C", locale_t(0));
    return strtod_l(text.constData(), nullptr, c);
}

double toDoubleC(const QByteArray& text)
{
    const double v = strtodC(text);
    if (std::isinf(v))
        raise(rt::Overflow);
    return v;
}


} // namespace

double Val(const QString& text)
{
    QString s;
    s.reserve(text.size());
    for (QChar c : text)
        if (c != ' ' && c != '\t' && c != '\n')
            s += c;

    qsizetype i = 0;
    if (auto r = readRadixLiteral(s, i))
        return *r;

    QByteArray num;
    if (i < s.size() && (s[i] == '+' || s[i] == '-'))
        num += char(s[i++].unicode());
    bool digits = takeDigits(s, i, num);
    if (i < s.size() && s[i] == '.') {
        num += '.';
        ++i;
        digits = takeDigits(s, i, num) || digits;
    }
    if (!digits)
        return 0.0;
    if (i < s.size() && QString("EeDd").contains(s[i])) {
        qsizetype j = i + 1;
        QByteArray exp = "e";
        if (j < s.size() && (s[j] == '+' || s[j] == '-'))
            exp += char(s[j++].unicode());
        if (takeDigits(s, j, exp))
            num += exp;
    }
    return toDoubleC(num);
}

int16_t CInt(double v)
{
    const double r = std::nearbyint(v);   // the default rounding mode: half to even
    if (!(r >= -32768.0 && r <= 32767.0))
        raise(rt::Overflow);
    return int16_t(r);
}

int32_t CLng(double v)
{
    const double r = std::nearbyint(v);
    if (!(r >= -2147483648.0 && r <= 2147483647.0))
        raise(rt::Overflow);
    return int32_t(r);
}

std::optional<double> parseNumber(const QString& text)
{
    const QString s = Trim(text, SpacesAndTabs);
    if (s.isEmpty())
        return std::nullopt;
    const QChar dec = Regional::decimalSeparator();
    const QChar thou = Regional::thousandSeparator();

    qsizetype i = 0;
    try {
        if (auto r = readRadixLiteral(s, i)) {
            // "&H" alone reads as 0 in Val, but is not a number.
            if (i == 2 || i != s.size())
                return std::nullopt;
            return r;
        }
    } catch (const RtError&) {
        return std::nullopt;
    }

    QByteArray num;
    if (s[i] == '+' || s[i] == '-')
        num += char(s[i++].unicode());
    bool digits = false;
    while (i < s.size()) {
        const QChar c = s[i];
        if (isDigit(c)) {
            num += char(c.unicode());
            digits = true;
            ++i;
        } else if (c == thou && c != dec && digits && i + 1 < s.size() && isDigit(s[i + 1])) {
            ++i;   // grouping among the digits of the whole part is ignored
        } else {
            break;
        }
    }
    if (i < s.size() && s[i] == dec) {
        num += '.';
        ++i;
        digits = takeDigits(s, i, num) || digits;
    }
    if (!digits)
        return std::nullopt;
    if (i < s.size() && QString("EeDd").contains(s[i])) {
        num += 'e';
        ++i;
        if (i < s.size() && (s[i] == '+' || s[i] == '-'))
            num += char(s[i++].unicode());
        if (!takeDigits(s, i, num))
            return std::nullopt;
    }
    if (i != s.size())
        return std::nullopt;
    const double v = strtodC(num);
    if (std::isinf(v))
        return std::nullopt;
    return v;
}

bool IsNumeric(const QString& text) { return parseNumber(text).has_value(); }

double CDbl(const QString& text)
{
    if (auto v = parseNumber(text))
        return *v;
    raise(rt::TypeMismatch);
}

float CSng(const QString& text)
{
    const double v = CDbl(text);
    if (std::fabs(v) > double(std::numeric_limits<float>::max()))
        raise(rt::Overflow);
    return float(v);
}

std::optional<DateTime> parseDate(const QString& text)
{
    static const QString datePart = QStringLiteral("(?<a>\\d{1,4})(?<sep>[/.\\-])(?<b>\\d{1,2})\\k<sep>(?<c>\\d{1,4})");
    static const QString timePart = QStringLiteral("(?<h>\\d{1,2}):(?<mi>\\d{1,2})(?::(?<s>\\d{1,2}))?(?:\\s*(?<ampm>[AaPp][Mm]))?");
    // A date must be followed by a blank before its time.
    static const QRegularExpression re("^(?:" + datePart + "(?=\\s|$))?\\s*(?:" + timePart + ")?$");
    const QString s = Trim(text, SpacesAndTabs);
    if (s.isEmpty())
        return std::nullopt;
    const auto m = re.match(s);
    if (!m.hasMatch())
        return std::nullopt;
    const bool hasDate = m.capturedLength(QStringLiteral("a")) > 0;
    const bool hasTime = m.capturedLength(QStringLiteral("h")) > 0;
    if (!hasDate && !hasTime)
        return std::nullopt;

    QDate date(1899, 12, 30);
    if (hasDate) {
        const QString a = m.captured(QStringLiteral("a")), b = m.captured(QStringLiteral("b")), c = m.captured(QStringLiteral("c"));
        int y = 0, mo = 0, d = 0;
        QString ys;
        if (a.size() >= 3) {
            ys = a;
            mo = b.toInt();
            d = c.toInt();
        } else {
            // The order of day, month and year in the short date pattern.
            const QString pat = Regional::shortDateFormat();
            const qsizetype pd = pat.indexOf('d'), pm = pat.indexOf('M'), py = pat.indexOf('y');
            if (pd < 0 || pm < 0 || py < 0)
                return std::nullopt;
            struct Part { qsizetype pos; char what; };
            Part parts[3] = {{pd, 'd'}, {pm, 'M'}, {py, 'y'}};
            std::sort(std::begin(parts), std::end(parts), [](const Part& x, const Part& y2) { return x.pos < y2.pos; });
            const QString vals[3] = {a, b, c};
            for (int k = 0; k < 3; ++k) {
                if (parts[k].what == 'd')
                    d = vals[k].toInt();
                else if (parts[k].what == 'M')
                    mo = vals[k].toInt();
                else
                    ys = vals[k];
            }
        }
        y = ys.toInt();
        if (ys.size() <= 2)
            y += y < 30 ? 2000 : 1900;
        if (y < 100)
            return std::nullopt;
        date = QDate(y, mo, d);
        if (!date.isValid())
            return std::nullopt;
    }

    QTime time(0, 0);
    if (hasTime) {
        int h = m.captured(QStringLiteral("h")).toInt();
        const int mi = m.captured(QStringLiteral("mi")).toInt();
        const int se = m.captured(QStringLiteral("s")).toInt();
        const QString ampm = m.captured(QStringLiteral("ampm")).toUpper();
        if (!ampm.isEmpty()) {
            if (h > 12)
                return std::nullopt;
            if (ampm == "AM" && h == 12)
                h = 0;
            else if (ampm == "PM" && h < 12)
                h += 12;
        }
        time = QTime(h, mi, se);
        if (!time.isValid())
            return std::nullopt;
    }
    return DateTime::fromDate(date, time);
}

bool IsDate(const QString& text) { return parseDate(text).has_value(); }

DateTime CDate(const QString& text)
{
    if (auto d = parseDate(text))
        return *d;
    raise(rt::TypeMismatch);
}

QString hexFixed(uint32_t v, int width)
{
    if (width < 8)
        v &= (1u << (4 * width)) - 1u;
    return QString::number(v, 16).toUpper().rightJustified(width, '0');
}

// ---- Value -----------------------------------------------------------------

Value Value::null()
{
    Value v;
    v.m_type = Type::Null;
    return v;
}

Value Value::other()
{
    Value v;
    v.m_type = Type::Other;
    return v;
}

bool Value::isNumber() const
{
    return m_type == Type::Boolean || m_type == Type::Integer || m_type == Type::Double;
}

double Value::toDouble() const
{
    switch (m_type) {
    case Type::Empty: return 0.0;
    case Type::Null: raise(rt::InvalidUseOfNull);
    case Type::Boolean:
    case Type::Integer: return double(m_int);
    case Type::Double:
    case Type::Date: return m_double;
    case Type::Text: return CDbl(m_text);
    case Type::Other: break;
    }
    raise(rt::TypeMismatch);
}

int32_t Value::toLong() const
{
    if (m_type == Type::Integer || m_type == Type::Boolean) {
        if (m_int < std::numeric_limits<int32_t>::min() || m_int > std::numeric_limits<int32_t>::max())
            raise(rt::Overflow);
        return int32_t(m_int);
    }
    return CLng(toDouble());
}

QString Value::toText() const
{
    switch (m_type) {
    case Type::Empty: return QString();
    case Type::Null: raise(rt::InvalidUseOfNull);
    case Type::Boolean: return m_int ? QStringLiteral("True") : QStringLiteral("False");
    case Type::Integer: return QString::number(m_int);
    case Type::Double: {
        QString s = QString::number(m_double, 'g', 15).toUpper();
        return s.replace('.', Regional::decimalSeparator());
    }
    case Type::Date: return DateTime(m_double).toText();
    case Type::Text: return m_text;
    case Type::Other: break;
    }
    raise(rt::TypeMismatch);
}

DateTime Value::toDate() const
{
    switch (m_type) {
    case Type::Text: return CDate(m_text);
    case Type::Null: raise(rt::InvalidUseOfNull);
    case Type::Other: raise(rt::TypeMismatch);
    default: return DateTime(toDouble());
    }
}

bool Value::toBool() const
{
    if (m_type == Type::Text) {
        if (m_text.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0)
            return true;
        if (m_text.compare(QLatin1String("False"), Qt::CaseInsensitive) == 0)
            return false;
    }
    return toDouble() != 0.0;
}

bool operator==(const Value& a, const Value& b)
{
    if (a.m_type != b.m_type)
        return false;
    switch (a.m_type) {
    case Value::Type::Boolean:
    case Value::Type::Integer: return a.m_int == b.m_int;
    case Value::Type::Double:
    case Value::Type::Date: return a.m_double == b.m_double;
    case Value::Type::Text: return a.m_text == b.m_text;
    default: return true;
    }
}

std::optional<int> compareValues(const Value& a, const Value& b)
{
    using T = Value::Type;
    if (a.type() == T::Null || b.type() == T::Null)
        return std::nullopt;
    if (a.type() == T::Other || b.type() == T::Other)
        raise(rt::TypeMismatch);
    auto sign = [](auto x, auto y) { return x < y ? -1 : (y < x ? 1 : 0); };
    const bool aText = a.type() == T::Text, bText = b.type() == T::Text;
    const bool aEmpty = a.isEmpty(), bEmpty = b.isEmpty();
    if (aEmpty && bEmpty)
        return 0;
    if ((aText || aEmpty) && (bText || bEmpty)) {
        const int c = QString::compare(a.toText(), b.toText(), Qt::CaseSensitive);
        return sign(c, 0);
    }
    if (aText)
        return 1;    // a number is less than a text
    if (bText)
        return -1;
    if (a.type() == T::Date || b.type() == T::Date)
        return sign(a.toDate(), b.toDate());
    return sign(a.toDouble(), b.toDouble());
}

QString Trim(const QString& text, QStringView blanks)
{
    qsizetype b = 0;
    qsizetype e = text.size();
    while (b < e && blanks.contains(text.at(b)))
        ++b;
    while (e > b && blanks.contains(text.at(e - 1)))
        --e;
    return text.mid(b, e - b);
}

QStringView RTrim(QStringView text)
{
    while (!text.isEmpty() && text.back() == u' ')
        text.chop(1);
    return text;
}

} // namespace plat
