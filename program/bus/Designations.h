#pragma once
// How a module and a channel are named in the trace, history and printed lines
// and on the alarm screen: the prefix letters gPanelLetter and gChannelLetter
// (empty until the main window has loaded once), then the numbers in two
// digits.

#include <QString>

namespace Designations {

// gPanelLetter and the module number in two digits: "M05".
QString Module(int module);
// A channel event: "M05-C12"; channel 0 (module-wide): "M05-ACK".
QString Channel(int module, int chnl);
// Presence events and the operator acknowledgement: "M05-" and the model name,
// cut to 7 characters ("M05-K71").
QString ModuleModel(int module, const QString& modelName);

// A register of a module in the command lines: "M05:0043" (the register in 4
// hexadecimal digits). A register that does not fit 16 bits raises overflow (6).
QString ModuleRegister(int module, qint32 address);
// A word of a command in 4 hexadecimal digits: "0002".
QString Word(qint16 value);

} // namespace Designations
