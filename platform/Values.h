#pragma once
// The value conversions of the run-time that the program and the
// library rely on, and a small variant value for the members that take
// "any value" (minimum, maximum, clamping).

#include "platform/DateTime.h"

#include <QString>
#include <cstdint>
#include <optional>

namespace plat {

// ---- Locale-independent reading -------------------------------------------

// Val: blanks, tabs and line feeds are skipped anywhere; reads a sign, digits,
// one point and an exponent (E or D) up to the first character that cannot
// belong to the number, and gives 0 when there is none. "&H" and "&O" read
// hexadecimal and octal; up to 4 hexadecimal digits are a 16-bit signed value
// ("&HFFFF" is -1), up to 8 a 32-bit one, more raise overflow (6).
double Val(const QString& text);

// ---- Whole-number conversions ---------------------------------------------

// Round half to even; out of range (or not a number) raises overflow (6).
int16_t CInt(double v);
int32_t CLng(double v);

// ---- Locale-aware reading (plat::Regional separators) ----------------------

// Reads a whole text as a number with the regional decimal and thousands
// separators: blanks around it, a leading sign, thousands separators among
// the digits of the whole part, one decimal separator, an exponent, or "&H"
// and "&O" prefixes. Nothing else may follow.
std::optional<double> parseNumber(const QString& text);
bool IsNumeric(const QString& text);
// The same reading; a text that is not a number raises type mismatch (13).
double CDbl(const QString& text);
float CSng(const QString& text);

// Reads a text as a date and/or time: the short date's day, month and year
// order with "/", "-" or "." between them (a four-digit first number means
// year-month-day), an optional time H:mm[:ss] with optional AM/PM, or a
// time alone. Two-digit years 00-29 are 2000-2029, 30-99 are 1930-1999.
std::optional<DateTime> parseDate(const QString& text);
bool IsDate(const QString& text);
// The same reading; a text that is no date raises type mismatch (13).
DateTime CDate(const QString& text);

// ---- Fixed-width hexadecimal ----------------------------------------------

// Upper-case hexadecimal of the low 4*width bits, padded with zeros.
QString hexFixed(uint32_t v, int width);

// Leading and trailing blanks removed: spaces only (not tabs or line breaks)
// unless other blanks are given.
QString Trim(const QString& text, QStringView blanks = u" ");
// Trailing spaces removed, leading ones kept: the blank end of a fixed-width field.
QStringView RTrim(QStringView text);
// Spaces and tabs, the blanks around numbers and profile file names.
inline constexpr QStringView SpacesAndTabs = u" \t";

// ---- Variant ---------------------------------------------------------------

class Value {
public:
    enum class Type { Empty, Null, Boolean, Integer, Double, Date, Text, Other };

    Value() = default;
    Value(bool b) : m_type(Type::Boolean), m_int(b ? -1 : 0) {}
    Value(int v) : m_type(Type::Integer), m_int(v) {}
    Value(unsigned v) : m_type(Type::Integer), m_int(v) {}
    Value(long v) : m_type(Type::Integer), m_int(v) {}
    Value(long long v) : m_type(Type::Integer), m_int(v) {}
    Value(double v) : m_type(Type::Double), m_double(v) {}
    Value(const DateTime& d) : m_type(Type::Date), m_double(d.serial()) {}
    Value(const QString& s) : m_type(Type::Text), m_text(s) {}
    Value(const char* s) : m_type(Type::Text), m_text(QString::fromUtf8(s)) {}

    static Value null();
    // An object, an array or anything else that has no value of its own.
    static Value other();

    Type type() const { return m_type; }
    bool isEmpty() const { return m_type == Type::Empty; }
    bool isNull() const { return m_type == Type::Null; }
    bool isText() const { return m_type == Type::Text; }
    // Boolean, Integer or Double.
    bool isNumber() const;

    // Conversions as the run-time makes them: Empty is 0 or "", True is -1,
    // a text is read in the regional settings. Null and Other raise type
    // mismatch (13); Null raises invalid use of Null (94).
    double toDouble() const;
    int32_t toLong() const;   // CLng
    QString toText() const;
    DateTime toDate() const;
    bool toBool() const;

    // Same type and same content (for tests and containers), not the run-time's
    // comparison.
    friend bool operator==(const Value& a, const Value& b);

private:
    Type m_type = Type::Empty;
    int64_t m_int = 0;
    double m_double = 0.0;
    QString m_text;
};

// The run-time's comparison of two values: -1, 0 or 1, or no value when one
// side is Null (the comparison then is neither true nor false). Numbers,
// Booleans (True = -1) and dates compare as numbers, texts by binary order,
// a number is less than a text, Empty is 0 beside a number and "" beside a
// text. An Other side raises type mismatch (13).
std::optional<int> compareValues(const Value& a, const Value& b);

} // namespace plat
