#pragma once
// The ids of the database's texts that the program holds in named constants
// (texts it picks by a computed id, or that several places look up). A fixed
// id used once stands as a literal in its GetText or setTag call. A pair
// <Name>First / <Name>Last stands for every id between them.

namespace TextIds {

// The buttons of the message box and of the yes/no lists.
constexpr int No = 10001;
constexpr int Yes = 10002;
constexpr int Ignore = 10003;
constexpr int Ok = 10004;
constexpr int Cancel = 10005;
constexpr int Abort = 10006;
constexpr int Retry = 10007;

// Shown where a whole module stands instead of a channel number.
constexpr int NoChannel = 10100;

// The password dialog's title and column headings.
constexpr int UserCodesTitle = 10110;
constexpr int UserCodesName = 10111;
constexpr int UserCodesCode = 10112;
constexpr int UserCodesLevel = 10113;

// Why a configuration file was refused (the results of its read and save).
constexpr int ConfigReadFailed = 20001;
constexpr int ConfigWriteFailed = 20002;
constexpr int NotConfigFile = 20003;
constexpr int NewerConfigVersion = 20004;

// An entry with a missing or invalid value.
constexpr int ValuesMissing = 20006;

// "$" stands for the port number.
constexpr int PortCannotOpen = 20008;

// The name of a configuration that has none yet.
constexpr int Unnamed = 50010;
// The module and channel prefix letters of event lines.
constexpr int PrefixLetters = 50011;
// One letter per mirror type.
constexpr int MirrorTypeLetters = 50012;

// The parameter word of a channel event (the Kind field of its trace line),
// 51000 + Param.
constexpr int ParamWordFirst = 51000;
constexpr int ParamWordLast = 51001;
// The state word of a channel event, 51010 + code.
constexpr int ChannelStateWordFirst = 51010;
constexpr int ChannelStateWordLast = 51014;
// The state word of a module-wide event (channel 0), 51020 + code.
constexpr int ModuleWideWordFirst = 51020;
constexpr int ModuleWideWordLast = 51023;

// The parity of the bus settings: 100020 + its letter's place in "NEO"
// (100020 unknown, 100021 none, 100022 even, 100023 odd).
constexpr int ParityFirst = 100020;
constexpr int ParityLast = 100023;

// Why a channel table file was refused whole: it holds no channel line, or
// it is saved in another encoding ("$1" the encoding's name).
constexpr int ChannelTableNoLine = 200121;
constexpr int ChannelTableEncoding = 200122;

// "Inactive" and "Active": first + Abs(Active).
constexpr int ModuleActiveFirst = 300120;
constexpr int ModuleActiveLast = 300121;
// The names of the parameter rows, row r taking ParamRowName[r] (ParamRows.cpp).
constexpr int ParamRowNameFirst = 300200;
constexpr int ParamRowNameLast = 300213;
// Print types 0..3: first + type.
constexpr int PrintTypeFirst = 300310;
constexpr int PrintTypeLast = 300313;

// The printer settings: the title of escape sequence i (0..7), first + i;
// the names of the printer's colours 0..6, first + colour, and of its
// styles B, I, U, first + 0..2.
constexpr int PrinterSequenceTitleFirst = 430110;
constexpr int PrinterSequenceTitleLast = 430117;
constexpr int PrinterColourFirst = 430120;
constexpr int PrinterColourLast = 430126;
constexpr int PrinterStyleFirst = 430127;
constexpr int PrinterStyleLast = 430129;
// The sound and history settings: the history file unit, months then days.
constexpr int PeriodUnitFirst = 630034;
constexpr int PeriodUnitLast = 630035;

// The user editor: its column headings (name, code, level), and why it
// refuses an entry or the list.
constexpr int UserColumnFirst = 640026;
constexpr int UserColumnLast = 640028;
constexpr int UserNameTaken = 640100;
constexpr int UserCodeTaken = 640101;
constexpr int NoUserLeft = 640102;

} // namespace TextIds
