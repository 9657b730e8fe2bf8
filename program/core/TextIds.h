#pragma once
// The ids of the database's texts that the program holds in named constants:
// texts it picks by a computed id, that several places look up, or that reach
// GetText or setTag through a helper, a table or another constant. A fixed id
// used once stands as a literal in its GetText or setTag call. A pair
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

// Why a mirror is refused: its ID is taken, or it would close a loop.
constexpr int MirrorDuplicate = 20005;
constexpr int MirrorLoop = 20010;

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
// Code 1, active: one word per Param, split at "|".
constexpr int ChannelStateActiveWord = 51011;
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

// The remote command screen's switch captions.
constexpr int RemoteSwitchOn = 220020;
constexpr int RemoteSwitchOff = 220021;

// "Inactive" and "Active": first + Abs(Active).
constexpr int ModuleActiveFirst = 300120;
constexpr int ModuleActiveLast = 300121;
// The names of the parameter rows, row r taking ParamRowName[r] (ParamRows.cpp).
constexpr int ParamRowNameFirst = 300200;
constexpr int ParamRowNameLast = 300213;
// Print types 0..3: first + type.
constexpr int PrintTypeFirst = 300310;
constexpr int PrintTypeLast = 300313;

// The text editors' titles and the caption of the text number.
constexpr int InstructionEditorTitle = 400110;
constexpr int LibraryEditorTitle = 400111;
constexpr int InstructionNumber = 400150;
constexpr int LibraryNumber = 400151;
// The event options' grid: its row names, its column titles, and its notes.
constexpr int EventOptionRowFirst = 420101;
constexpr int EventOptionRowLast = 420105;
constexpr int EventOptionColumnFirst = 420110;
constexpr int EventOptionColumnLast = 420113;
constexpr int EventOptionNoteFirst = 420121;
constexpr int EventOptionNoteLast = 420124;

// The printer settings: the title of escape sequence i (0..7), first + i;
// the names of the printer's colours 0..6, first + colour, and of its
// styles B, I, U, first + 0..2.
constexpr int PrinterSequenceTitleFirst = 430110;
constexpr int PrinterSequenceTitleLast = 430117;
constexpr int PrinterColourFirst = 430120;
constexpr int PrinterColourLast = 430126;
constexpr int PrinterStyleFirst = 430127;
constexpr int PrinterStyleLast = 430129;

// The mirror list: the titles over source and destination (first + side) and
// its column titles, column c taking first + c (column 0's is empty).
constexpr int MirrorSideTitleFirst = 500181;
constexpr int MirrorSideTitleLast = 500182;
constexpr int MirrorColumnTitleFirst = 500200;
constexpr int MirrorColumnTitleLast = 500207;
// The mirror edit dialog: its module and channel captions (source module and
// channel, destination module and channel), and the mirror types, first +
// type, type 0 standing for the whole module.
constexpr int MirrorNumberCaptionFirst = 510202;
constexpr int MirrorNumberCaptionLast = 510205;
constexpr int MirrorTypeFirst = 510300;
constexpr int MirrorTypeLast = 510302;
// The one-module mirror screen: the titles of its two lists.
constexpr int MirrorsIncoming = 520110;
constexpr int MirrorsOutgoing = 520120;
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

// The run-time screens' titles, and the captions under the alarm list.
constexpr int AlarmsTitle = 710010;
constexpr int AlarmsAcknowledge = 710011;
constexpr int AlarmsHistory = 710013;
constexpr int HistoryTitle = 720010;

// The captions of the date and time fields: day, month, year, hour, minute, second.
constexpr int ClockFieldFirst = 800120;
constexpr int ClockFieldLast = 800125;

// The technician's commands, and the questions asked before two of them.
constexpr int TechLampTest = 810021;
constexpr int TechResetCounters = 810022;
constexpr int TechBusScan = 810023;
constexpr int TechModuleState = 810024;
constexpr int TechResetModule = 810025;
constexpr int TechOutOfService = 810026;
constexpr int TechSynchroniseBus = 810028;
constexpr int TechMidnightTasks = 810029;
constexpr int TechCopyTraces = 810030;
constexpr int TechMidnightSynchro = 810031;
constexpr int TechResetCountersQuestion = 810052;
constexpr int TechResetModuleQuestion = 810055;

// The bus scan's commands on the module chosen.
constexpr int ScanActivate = 820101;
constexpr int ScanDeactivate = 820102;
constexpr int ScanTakeOverType = 820103;
// The names of a serial line's settings: port, speed, parity, data bits, stop bits.
constexpr int SerialFieldFirst = 820201;
constexpr int SerialFieldLast = 820205;

// The live module state: its command captions and how the last read went.
constexpr int ModuleHornOn = 830011;
constexpr int ModuleHornOff = 830012;
constexpr int ModuleLampTest = 830014;
constexpr int ModuleAcknowledgeHorn = 830015;
constexpr int ModuleAcknowledge = 830016;
constexpr int ModuleClear = 830017;
constexpr int ModuleReading = 830101;
constexpr int ModuleReadOk = 830102;
constexpr int ModuleNoReply = 830103;

// The out-of-service screen: the captions over its module and channel numbers.
constexpr int OutOfServiceModule = 840012;
constexpr int OutOfServiceChannel = 840013;

} // namespace TextIds
