#pragma once
// The event options apart from their screen: a grid of ticks, one column per
// option mask of the configuration (alarm screen, history, printer, horn) and
// one row per bit, shown "X" when on; whether the grid and the inactivity
// time differ from the configuration, and what accepting them writes.

#include <QString>

#include <array>

class ConfigClass;

class EventOptions {
public:
    static constexpr int Rows = 5;
    static constexpr int Columns = 4;
    // The columns, in the order they are written.
    enum Column { Screen = 0, History = 1, Printer = 2, Horn = 3 };

    // The tick captions, column by column.
    using Ticks = std::array<std::array<QString, Rows>, Columns>;

    static QString Caption(bool on);
    static bool IsOn(const QString& caption) { return !caption.isEmpty(); }
    // The other caption of a tick.
    static QString Toggled(const QString& caption) { return Caption(!IsOn(caption)); }

    static bool Bit(const ConfigClass& config, int column, int row);
    static void setBit(ConfigClass& config, int column, int row, bool on);
    // The ticks that the configuration's masks give.
    static Ticks Read(const ConfigClass& config);

    // A tick differs from its bit, or the time (minutes, as shown) from the configuration's.
    static bool Changed(const Ticks& ticks, const QString& minutes, const ConfigClass& config);
    // The bits, column by column, then the inactivity time.
    static void Accept(const Ticks& ticks, const QString& minutes, ConfigClass& config);
};
