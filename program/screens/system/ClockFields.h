#pragma once
// The clock dialog's fields apart from its window: the six numbers of a date
// and time (day, month, year, hour, minute, second), their limits and steps,
// and the moment they name when the clock is set.

#include "platform/DateTime.h"

#include <QString>

#include <array>

class ClockFields {
public:
    enum Field { Day = 0, Month = 1, Year = 2, Hour = 3, Minute = 4, Second = 5 };
    static constexpr int Count = 6;
    using Values = std::array<int, Count>;

    static int Minimum(int field);
    static int Maximum(int field);
    // Two digits at least.
    static QString Format(int value);
    // The field's caption of a moment.
    static Values Of(const plat::DateTime& moment);

    // Button b steps field b / 2: down when b is even, up when odd, never
    // past the field's limits (days run 1 to 31 whatever the month). The
    // field's new caption, formatted.
    static int FieldOf(int button) { return button / 2; }
    static QString Step(const QString& caption, int button);

    // The moment of the six values: a day past the month's end carries into
    // the next month (31/04 is 1 May), as the time's values carry into the day.
    static plat::DateTime Compose(const Values& values);
    // Set to, the clock would move more than a day ahead of from.
    static bool FarAhead(const plat::DateTime& from, const plat::DateTime& to);
};
