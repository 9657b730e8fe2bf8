#pragma once
// A date-time value as the program keeps and stores it: a double counting days
// since 30 December 1899, whose fraction is the time of day. For days before
// that origin the value is negative and the fraction still counts forward
// from midnight (-1.25 is 29 December 1899, 06:00).

#include <QDate>
#include <QDateTime>
#include <QString>
#include <QTime>

#include <compare>

namespace plat {

class DateTime {
public:
    DateTime() = default;                      // 30/12/1899 00:00:00
    explicit DateTime(double serial) : m_serial(serial) {}

    static DateTime fromSerial(double serial) { return DateTime(serial); }
    // Local time, to the whole second (events and lines carry no fraction).
    static DateTime now();
    static DateTime fromDate(const QDate& date, const QTime& time = QTime(0, 0));
    static DateTime fromQDateTime(const QDateTime& dt);   // local wall-clock time

    double serial() const { return m_serial; }
    QDate date() const;
    QTime time() const;     // to the millisecond
    QDateTime toQDateTime() const;

    DateTime addDays(double days) const;
    DateTime addSeconds(double seconds) const;
    // Days between two values (b - a), on the time line: fractions of negative
    // serials count forward, so it is not a plain difference of serials.
    static double daysBetween(const DateTime& a, const DateTime& b);

    // The default text form of a date: short date, long time, or both, leaving
    // out the date when it is the origin day and the time when it is midnight
    // (the origin day at midnight shows as a time).
    QString toText() const;

    // Ordered on the time line.
    friend bool operator==(const DateTime& a, const DateTime& b) { return a.timeline() == b.timeline(); }
    friend std::partial_ordering operator<=>(const DateTime& a, const DateTime& b) { return a.timeline() <=> b.timeline(); }

private:
    // Continuous value: whole days plus the time of day, whatever the sign.
    double timeline() const;
    static DateTime fromTimeline(double t);

    double m_serial = 0.0;
};

// Formats with a Qt date-time pattern, or with the named formats "Short Date",
// "Long Time" and "General Date" (the default text form) of the regional settings.
QString Format(const DateTime& dt, const QString& pattern);
QString formatShortDate(const DateTime& dt);
QString formatLongTime(const DateTime& dt);

} // namespace plat
