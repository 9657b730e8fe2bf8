#pragma once
// The module registers, the Modbus function codes and the bus timings, named
// once for the whole program. Addresses are decimal; each register is one
// 16-bit word. "Channel" counts from 1.

namespace Bus {

// ---- Register map ----
// Written 0 to a model 2 module by the synchronisation pass, after its status
// word was read (what the module makes of it is its own).
constexpr int RegStatusClear = 0;
// State code of each channel, channel 1 first (0 normal, 1 active, 2 cable
// fault, 3 first fault, 4 second fault); on a model 2 module also written, one
// channel at a time.
constexpr int RegChannelState = 1;
// The state a module reports for a channel back to normal (an event of code 0).
constexpr int StateNormalAgain = 5;
// Command word of a channel: register RegChannelCommand + channel (17..28).
constexpr int RegChannelCommand = 16;
// The 24 channel states of a model 2 module, 3 bits each, in 5 words (25..29).
constexpr int RegPackedStates = 25;
constexpr int PackedStatesWords = 5;
// One word per channel, the Param of the channel events of a synchronisation.
constexpr int RegChannelParam = 49;
constexpr int RegHorn = 64;
constexpr int RegLedTest = 66;
// Module command: 2 acknowledge; 1 and 3 from the module state screen.
constexpr int RegModuleCommand = 67;
constexpr int ModuleCommandAcknowledge = 2;
// Status word of a model 2 module; non-zero gives a module-wide event.
constexpr int RegStatus = 68;
constexpr int RegModuleType = 132;
constexpr int RegModuleSubType = 133;
// Low byte: number of pending events in the module's buffer.
constexpr int RegEventCount = 144;
// Pending events, two words each.
constexpr int RegEventBuffer = 146;
// Number of buffer events taken, so that the module drops them.
constexpr int RegEventAck = 288;
// Written 0 to reset the module's counters.
constexpr int RegCounterReset = 289;
// The most buffer events taken in one read.
constexpr int MaxEventsPerRead = 62;

// ---- Module models as the bus reports them ----
constexpr int ModelNone = 0;
constexpr int ModelK7150 = 1;
constexpr int ModelK6200TX = 2;
constexpr int ModelK7100 = 3;
constexpr int ModelT7100 = 4;
constexpr int ModelT7150 = 5;
// Values of RegModuleType and RegModuleSubType that tell the models apart.
constexpr int ModuleTypeBuffer = 1;       // models 1, 3 (and 5, told by the sub-type)
constexpr int ModuleTypeStatusWord = 2;   // model 2
constexpr int ModuleSubTypeT7150 = 2;

// ---- Addresses and functions ----
constexpr int BroadcastAddress = 0;
constexpr int FnReadHoldingRegisters = 3;
constexpr int FnWriteSingleRegister = 6;
constexpr int FnWriteMultipleRegisters = 16;
// Set on the function of an exception reply.
constexpr int ExceptionBit = 0x80;
// The most registers one write of several words carries.
constexpr int MaxWriteWords = 127;

// ---- Timings (milliseconds) ----
// Pause before every frame: the only gap between consecutive frames.
constexpr int FramePauseMs = 25;
// Time a module has to answer, counted from the end of the request on the
// line; the line time of the expected reply is added to it.
constexpr int ReadReplyTimeoutMs = 1000;
constexpr int WriteReplyTimeoutMs = 500;

} // namespace Bus
