// The globals that follow the language, from the shipped database's texts.

#include "program/core/Config.h"
#include "program/core/Globals.h"
#include "program/core/IniKeys.h"
#include "program/core/LanguageGlobals.h"
#include "program/core/VEXfonctions.h"
#include "tests/harness/TestSupport.h"
#include "tests/support/ProgramGlobals.h"

#include <QFile>
#include <gtest/gtest.h>

namespace {

using LanguageGlobalsTest = testing_support::ProgramGlobals;

TEST_F(LanguageGlobalsTest, LettersAndTheNoChannelTextComeFromTheLanguageInUse)
{
    ASSERT_TRUE(QFile::copy(testing_support::binFolder() + "/PLX2.cfg", testing_support::programFolder() + "/PLX2.cfg"));
    struct Case {
        int language;
        const char* panel;
        const char* channel;
        const char* mirrors;
        const char* noChannel;
    } cases[] = {{0, "M", "C", "MPS", "All"}, {1, "M", "V", "MIP", "Tout"}, {2, "M", "K", "MID", "Alle"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.language);
        VEXfonctions::SetIni(IniKeys::General, IniKeys::Language, QString::number(c.language));
        ASSERT_TRUE(Config::OpenConfigBase());
        LanguageGlobals::SetLetters();
        LanguageGlobals::SetNoChannelText();
        EXPECT_EQ(gPanelLetter, c.panel);
        EXPECT_EQ(gChannelLetter, c.channel);
        EXPECT_EQ(gMirrorTypeLetters, c.mirrors);
        EXPECT_EQ(gNoChannelText, c.noChannel);
    }
}

} // namespace
