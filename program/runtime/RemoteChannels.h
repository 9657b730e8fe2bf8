#pragma once
// What the remote command screen does without its window: the text of a
// channel row and its centring, the lamp colours, the command that switches a
// channel, and how long the screen waits for that command.

#include "program/bus/CommandClass.h"

#include <QString>

#include <functional>

class ChannelClass;
class ConfigClass;

namespace RemoteChannels {

constexpr int Channels = 12;
// Register channel + CommandRegisterBase switches the channel: 3 on, 0 off.
constexpr int CommandRegisterBase = 16;
constexpr qint16 SwitchOn = 3;
constexpr qint16 SwitchOff = 0;

// The grey of a lamp whose channel is in state 0 (LampRows::LampColor).
constexpr unsigned int LampOff = 0xB2B2B2;

// The library text of the channel without its trailing blanks, " - " when
// there is one, then the channel's screen text.
QString Caption(const ConfigClass& config, const ChannelClass& channel);

// How a caption measures in the screen's font.
struct TextMetrics {
    std::function<double(const QString&)> width;
    std::function<double()> lineHeight;
};
// The line feeds that centre a caption vertically in a label of that size:
// half the lines of room it leaves, none when it needs more than the room.
int CentringLineFeeds(const QString& caption, double labelWidth, double labelHeight, const TextMetrics& metrics);

// The write that switches the channel of the module on or off.
CommandPtr Command(int module, int channel, bool on);

// How long the screen waits for a command that failed once: the engine's
// three attempts, each a tick with the write's and the longest read's
// time-outs on a line of these settings (the serial control's, "19200,N,8,1").
qint64 WaitDeadlineMs(const QString& busSettings);
// Whether the wait goes on: the command failed, has attempts left and is not
// done, polling runs and the deadline has not passed.
bool KeepWaiting(const CommandClass& cmd, bool polling, qint64 waitedMs, qint64 deadlineMs);

} // namespace RemoteChannels
