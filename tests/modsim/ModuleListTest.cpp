// The "address:model" list of the simulator and the demo's working file.

#include "tools/modsim/ModuleList.h"

#include <gtest/gtest.h>

using modsim::parseModuleList;

TEST(ModuleList, ReadsPairsInTheOrderGiven)
{
    QString why;
    const auto modules = parseModuleList(QStringLiteral(" 7:3, 1:1 ,64:5,"), &why);
    ASSERT_TRUE(modules) << why.toStdString();
    ASSERT_EQ(modules->size(), 3u);
    EXPECT_EQ((*modules)[0].address, 7);
    EXPECT_EQ((*modules)[0].model, 3);
    EXPECT_EQ((*modules)[2].address, 64);
    EXPECT_EQ((*modules)[2].model, 5);
}

TEST(ModuleList, SaysWhyAListIsRefused)
{
    struct Case {
        const char* text;
        const char* why;
    };
    const Case cases[] = {
        {"1:1,1:2", "\"1:2\": address 1 is given twice"},
        {"0:1", "\"0:1\": address 0 is outside 1..64"},
        {"65:1", "\"65:1\": address 65 is outside 1..64"},
        {"2:0", "\"2:0\": model 0 is outside 1..5"},
        {"2:6", "\"2:6\": model 6 is outside 1..5"},
        {"2", "\"2\" is not address:model"},
        {"2:1:1", "\"2:1:1\" is not address:model"},
        {"a:1", "\"a:1\" is not address:model"},
        {"", "no module given"},
        {" , ", "no module given"},
    };
    for (const Case& c : cases) {
        QString why;
        EXPECT_FALSE(parseModuleList(QString::fromLatin1(c.text), &why)) << c.text;
        EXPECT_EQ(why, QString::fromLatin1(c.why)) << c.text;
    }
}
