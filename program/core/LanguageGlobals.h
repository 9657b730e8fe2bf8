#pragma once
// The globals that follow the language in use, which the main window sets at
// its load and at every language change and the event lines, mirrors and
// channel screens read.

namespace LanguageGlobals {

// gPanelLetter and gChannelLetter (the first and second character of text
// 50011) and gMirrorTypeLetters (text 50012).
void SetLetters();
// gNoChannelText (text 10100).
void SetNoChannelText();

} // namespace LanguageGlobals
