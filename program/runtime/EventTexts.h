#pragma once
// The words of an event that its trace, history and printed lines share: the
// codes of the station's own events, the model of a module, the parameter
// word and the state word. A code that has no word is written as its number,
// so that a line is never lost for want of a text.

#include "program/core/Limits.h"
#include "program/core/PollingLink.h"
#include "program/core/TextIds.h"

#include <QString>

namespace EventTexts {

using Limits::LastChannel;
using namespace Polling::StationEvent;

// The texts of a family of event words (TextIds) that a code may pick.
constexpr int WordsPerBase = 10;

// The configured model's name of the module; "" for no module (an event of
// the station as a whole).
QString ModelName(int module);
// The module and its model, as presence events name it ("M05-K71").
QString ModuleWithModel(int module);

// The parameter word of an event of channels 0..24: text 51000 + param.
QString ParamText(int param);
// The state word of an event of channels 0..24: channel 0 text 51020 + code;
// channels 1..24 text 51010 + code, where code 1 takes part param of text
// 51011 looked up raw. raw keeps the "|" of the other texts.
QString StateText(int chnl, int code, int param, bool raw);

} // namespace EventTexts
