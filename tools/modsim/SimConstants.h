#pragma once
// Registers, function codes and limits of the simulated modules, in one place.

namespace modsim {

namespace reg {
constexpr int StatusClear = 0;       // model 2: written 0 by the synchronisation pass
constexpr int ChannelState = 1;      // 1 + (channel - 1)
constexpr int ChannelCommand = 16;   // 16 + channel (17..28)
constexpr int PackedStates = 25;     // model 2: 25..29, five words of 3-bit states
constexpr int PackedStatesWords = 5;
constexpr int ChannelParam = 49;     // 49 + (channel - 1)
constexpr int Horn = 64;
constexpr int LedTest = 66;
constexpr int ModuleCommand = 67;
constexpr int Status = 68;           // model 2 status word
constexpr int ModuleType = 132;
constexpr int ModuleSubType = 133;
constexpr int EventCount = 144;
constexpr int EventBuffer = 146;     // two words per entry
constexpr int EventAck = 288;        // write k: the module drops its first k entries
constexpr int CounterReset = 289;
} // namespace reg

namespace fn {
constexpr int ReadHolding = 3;
constexpr int WriteSingle = 6;
constexpr int WriteMultiple = 16;
} // namespace fn

namespace exc {
constexpr int IllegalFunction = 1;
constexpr int IllegalDataAddress = 2;
constexpr int IllegalDataValue = 3;
constexpr int SlaveDeviceFailure = 4;
} // namespace exc

constexpr int BroadcastAddress = 0;
constexpr int FirstAddress = 1;
constexpr int LastAddress = 64;
constexpr int FirstModel = 1;
constexpr int LastModel = 5;

// The buffer window: the panel reads at most 62 entries at a time.
constexpr int EventWindow = 62;
// The count register shows the number pending in its low byte.
constexpr int EventCountMax = 255;
// The module clock stamp of an entry is 20 bits wide.
constexpr unsigned ModuleClockMask = 0xFFFFF;

// Modbus limits on the quantity of one request.
constexpr int MaxReadWords = 125;
constexpr int MaxWriteWords = 123;

// Silence that ends a partial frame when the line is not emulated (the
// panel pauses 25 ms before every frame).
constexpr long long IdleGapUs = 10000;
// The shortest end-of-frame silence on an emulated line, as on fast lines.
constexpr long long MinGapUs = 1750;

} // namespace modsim
