#include "platform/DateTime.h"

#include "platform/Regional.h"

#include <cmath>

namespace plat {

namespace {
const QDate kOrigin(1899, 12, 30);
constexpr double kMsPerDay = 86400000.0;
}

double DateTime::timeline() const
{
    // A negative serial keeps its time of day as a positive fraction: -1.25 is
    // day -1 at 06:00, that is -0.75 on the time line.
    const double day = std::trunc(m_serial);
    const double frac = std::fabs(m_serial - day);
    return day + frac;
}

DateTime DateTime::fromTimeline(double t)
{
    const double day = std::floor(t);
    const double frac = t - day;
    if (day >= 0)
        return DateTime(day + frac);
    return DateTime(day - frac);
}

DateTime DateTime::now()
{
    const QDateTime n = QDateTime::currentDateTime();
    const QTime t = n.time();
    return fromDate(n.date(), QTime(t.hour(), t.minute(), t.second()));
}

DateTime DateTime::fromDate(const QDate& date, const QTime& time)
{
    const double day = double(kOrigin.daysTo(date));
    const double frac = time.isValid() ? time.msecsSinceStartOfDay() / kMsPerDay : 0.0;
    return fromTimeline(day + frac);
}

DateTime DateTime::fromQDateTime(const QDateTime& dt)
{
    const QDateTime local = dt.toLocalTime();
    return fromDate(local.date(), local.time());
}

QDate DateTime::date() const
{
    // Round to the millisecond first, so that 23:59:59.9999 is not a day behind.
    const double t = std::round(timeline() * kMsPerDay) / kMsPerDay;
    return kOrigin.addDays(qint64(std::floor(t)));
}

QTime DateTime::time() const
{
    const double t = timeline();
    qint64 ms = qint64(std::llround((t - std::floor(t)) * kMsPerDay));
    if (ms >= qint64(kMsPerDay))
        ms = 0;
    return QTime::fromMSecsSinceStartOfDay(int(ms));
}

QDateTime DateTime::toQDateTime() const
{
    return QDateTime(date(), time());
}

DateTime DateTime::addDays(double days) const
{
    return fromTimeline(timeline() + days);
}

DateTime DateTime::addSeconds(double seconds) const
{
    return fromTimeline(timeline() + seconds / 86400.0);
}

double DateTime::daysBetween(const DateTime& a, const DateTime& b)
{
    return b.timeline() - a.timeline();
}

QString DateTime::toText() const
{
    const QDateTime dt = toQDateTime();
    const bool hasDate = std::trunc(m_serial) != 0.0;
    const bool hasTime = dt.time().msecsSinceStartOfDay() != 0;
    if (hasDate && hasTime)
        return formatShortDate(*this) + ' ' + formatLongTime(*this);
    if (hasDate)
        return formatShortDate(*this);
    return formatLongTime(*this);
}

QString Format(const DateTime& dt, const QString& pattern)
{
    if (pattern.compare(QLatin1String("Short Date"), Qt::CaseInsensitive) == 0)
        return formatShortDate(dt);
    if (pattern.compare(QLatin1String("Long Time"), Qt::CaseInsensitive) == 0)
        return formatLongTime(dt);
    if (pattern.compare(QLatin1String("General Date"), Qt::CaseInsensitive) == 0)
        return dt.toText();
    return dt.toQDateTime().toString(pattern);
}

QString formatShortDate(const DateTime& dt)
{
    return dt.date().toString(Regional::shortDateFormat());
}

QString formatLongTime(const DateTime& dt)
{
    // Whole seconds: the fraction of a second is never shown.
    const QTime t = dt.time();
    const int ms = t.msecsSinceStartOfDay();
    const int s = (ms + 500) / 1000;
    return QTime::fromMSecsSinceStartOfDay((s % 86400) * 1000).toString(Regional::longTimeFormat());
}

} // namespace plat
