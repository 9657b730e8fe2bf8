// The list lines of the text editors apart from the screen: the number, the
// first 64 characters trimmed, the line breaks of each kind, and a
// never-assigned text shown as blanks.

#include "program/screens/system/TextEditorModel.h"

#include "program/core/ConfigClass.h"

#include <gtest/gtest.h>

namespace {

TEST(TextEditorModel, AListLineShowsTheFirst64CharactersTrimmedWithTheKindsLineBreak)
{
    ConfigClass config([](int) { return QString(); });
    struct Case {
        bool library;
        QString text;
        QString line;
    } cases[] = {
        {false, "  Open the gate  ", "01 - Open the gate"},
        {false, "Close\r\nthe valve", "01 - Close the valve"},
        {true, "Fire\r\nEast", QString::fromUtf8("01 - Fire¶East")},
        {false, QString(70, 'x'), "01 - " + QString(64, 'x')},
        // A break cut by the 64 characters shows as a blank too.
        {false, QString(63, 'y') + "\r\nz", "01 - " + QString(63, 'y')},
        {false, QString(), "01 - "},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text.toStdString());
        TextEditorModel::Memory memory;
        TextEditorModel model(c.library ? TextEditorModel::Library : TextEditorModel::Instructions, memory);
        if (c.library)
            config.setBiblio(1, c.text);
        else
            config.setConsigne(1, c.text);
        model.Load(config);
        EXPECT_EQ(model.Line(1).toStdString(), c.line.toStdString());
    }

    // Never assigned: NULs in the text, blanks on the screen, nothing changed.
    TextEditorModel::Memory memory;
    TextEditorModel fresh(TextEditorModel::Library, memory);
    ConfigClass untouched([](int) { return QString(); });
    fresh.Load(untouched);
    EXPECT_EQ(fresh.Text(64), QString(24, QChar(0)));
    EXPECT_EQ(fresh.StoredLine(64), "64 - " + QString(24, ' '));
    EXPECT_EQ(fresh.KeyboardText(64), "");
    fresh.Clear(64);
    EXPECT_FALSE(fresh.Changed(untouched));
    fresh.SetTyped(64, "Door");
    EXPECT_TRUE(fresh.Changed(untouched));
}

} // namespace
