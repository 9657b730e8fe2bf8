#include "program/screens/system/ClockFields.h"

#include "platform/Values.h"

#include <QDate>

namespace {

struct Limits {
    int minimum;
    int maximum;
};

constexpr Limits kLimits[ClockFields::Count] = {{1, 31}, {1, 12}, {2000, 2099}, {0, 23}, {0, 59}, {0, 59}};

} // namespace

int ClockFields::Minimum(int field)
{
    return kLimits[field].minimum;
}

int ClockFields::Maximum(int field)
{
    return kLimits[field].maximum;
}

QString ClockFields::Format(int value)
{
    return QString::number(value).rightJustified(2, QLatin1Char('0'));
}

ClockFields::Values ClockFields::Of(const plat::DateTime& moment)
{
    const QDate d = moment.date();
    const QTime t = moment.time();
    return {d.day(), d.month(), d.year(), t.hour(), t.minute(), t.second()};
}

QString ClockFields::Step(const QString& caption, int button)
{
    const int field = FieldOf(button);
    int v = int(plat::Val(caption));
    if (button % 2 == 0) {
        if (v > Minimum(field))
            --v;
    } else if (v < Maximum(field)) {
        ++v;
    }
    return Format(v);
}

plat::DateTime ClockFields::Compose(const Values& v)
{
    const QDate date = QDate(v[Year], 1, 1).addMonths(v[Month] - 1).addDays(v[Day] - 1);
    return plat::DateTime::fromDate(date).addSeconds(double(v[Hour]) * 3600 + v[Minute] * 60 + v[Second]);
}

bool ClockFields::FarAhead(const plat::DateTime& from, const plat::DateTime& to)
{
    return plat::DateTime::daysBetween(from, to) > 1.0;
}
