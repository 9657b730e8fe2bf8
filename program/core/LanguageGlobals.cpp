#include "program/core/LanguageGlobals.h"

#include "program/core/Config.h"
#include "program/core/Globals.h"
#include "program/core/TextIds.h"

namespace LanguageGlobals {

void SetLetters()
{
    const QString letters = Config::GetText(TextIds::PrefixLetters);
    gPanelLetter = letters.left(1);
    gChannelLetter = letters.mid(1, 1);
    gMirrorTypeLetters = Config::GetText(TextIds::MirrorTypeLetters);
}

void SetNoChannelText()
{
    gNoChannelText = Config::GetText(TextIds::NoChannel);
}

} // namespace LanguageGlobals
