#include "program/screens/system/EventOptions.h"

#include "platform/Values.h"
#include "program/core/ConfigClass.h"

QString EventOptions::Caption(bool on)
{
    return on ? QStringLiteral("X") : QString();
}

bool EventOptions::Bit(const ConfigClass& config, int column, int row)
{
    switch (column) {
    case Screen:
        return config.OptionScreen(row);
    case History:
        return config.OptionHisto(row);
    case Printer:
        return config.OptionPrinter(row);
    case Horn:
        return config.OptionKlaxon(row);
    default:
        return false;
    }
}

void EventOptions::setBit(ConfigClass& config, int column, int row, bool on)
{
    switch (column) {
    case Screen:
        config.setOptionScreen(row, on);
        break;
    case History:
        config.setOptionHisto(row, on);
        break;
    case Printer:
        config.setOptionPrinter(row, on);
        break;
    case Horn:
        config.setOptionKlaxon(row, on);
        break;
    default:
        break;
    }
}

EventOptions::Ticks EventOptions::Read(const ConfigClass& config)
{
    Ticks ticks;
    for (int c = 0; c < Columns; ++c)
        for (int r = 0; r < Rows; ++r)
            ticks[c][r] = Caption(Bit(config, c, r));
    return ticks;
}

bool EventOptions::Changed(const Ticks& ticks, const QString& minutes, const ConfigClass& config)
{
    for (int c = 0; c < Columns; ++c)
        for (int r = 0; r < Rows; ++r)
            if (IsOn(ticks[c][r]) != Bit(config, c, r))
                return true;
    return plat::Val(minutes) != config.InactivityTime();
}

void EventOptions::Accept(const Ticks& ticks, const QString& minutes, ConfigClass& config)
{
    for (int c = 0; c < Columns; ++c)
        for (int r = 0; r < Rows; ++r)
            setBit(config, c, r, IsOn(ticks[c][r]));
    config.setInactivityTime(plat::CInt(plat::Val(minutes)));
}
