// The printer's settings text without the screen: the text the fields make,
// the fields a stored text and the live printer give, the check of a text
// before it is stored, and the bus port's device refused to the printer.

#include "program/screens/system/PrinterSettings.h"
#include "tests/screens/PrinterFixture.h"

#include <QDir>

namespace {

using namespace PrinterSettings;
using PrinterSettingsTable = PrinterFixture;

const QString U = Unknown;

} // namespace

TEST_F(PrinterSettingsTable, FieldsMakeTheSettingsText)
{
    const struct {
        const char* what;
        Fields fields;
        const char* text;
    } cases[] = {
        {"serial", {Com, "1", {"3", "19200", "Even", "7", "2"}}, "COM3:19200,E,7,2"},
        {"odd parity", {Com, "1", {"1", "9600", "Odd", "8", "1"}}, "COM1:9600,O,8,1"},
        {"another parity text is none", {Com, "1", {"1", "9600", "Unknown", "8", "1"}}, "COM1:9600,N,8,1"},
        {"parallel, with its colon", {Lpt, "2", {"3", "19200", "Even", "7", "2"}}, "LPT2:"},
        {"no printer", {NoPrinter, "2", {"3", "19200", "Even", "7", "2"}}, ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Make(c.fields), c.text) << c.what;
}

TEST_F(PrinterSettingsTable, LiveSettingsShowOnlyWithFourItems)
{
    EXPECT_EQ(Current("COM4", "4800,o,7,2"), (SerialFields{"4", "4800", "Odd", "7", "2"}));
    EXPECT_EQ(Current("", "9600,N,8,1"), (SerialFields{"0", "9600", "None", "8", "1"}));
    EXPECT_EQ(Current("COM4", "4800,E,7"), (SerialFields{U, U, U, U, U}));
    EXPECT_EQ(Current("LPT1", ""), (SerialFields{U, U, U, U, U}));
    EXPECT_EQ(Current("COM4", "4800,X,7,1")[Parity], "Unknown");
}

TEST_F(PrinterSettingsTable, StoredTextAndLivePrinterGiveTheFields)
{
    const SerialFields unknown{U, U, U, U, U};
    const SerialFields live{"2", "4800", "Odd", "7", "2"};
    const SerialFields design{"1", "9600", "None", "8", "1"};
    const struct {
        const char* what;
        const char* stored;
        SerialFields current;
        int kind;
        const char* lpt;
        SerialFields serial;
        const char* back; // the text the fields make again
    } cases[] = {
        {"serial", "COM3:19200,E,7,2", live, Com, "1", {"3", "19200", "Even", "7", "2"}, "COM3:19200,E,7,2"},
        {"another parity letter", "COM3:19200,X,7,2", live, Com, "1", {"3", "19200", "Unknown", "7", "2"},
         "COM3:19200,N,7,2"},
        {"a short serial text keeps the design values", "COM5:2400", live, Com, "1", {"5", "2400", "None", "8", "1"},
         "COM5:2400,N,8,1"},
        {"no serial items at all", "COM6", live, Com, "1", {"6", "9600", "None", "8", "1"}, "COM6:9600,N,8,1"},
        {"parallel takes the live serial settings", "LPT2:", live, Lpt, "2", live, "LPT2:"},
        {"parallel with nothing live takes the design", "LPT2:", unknown, Lpt, "2", design, "LPT2:"},
        {"no printer", "", unknown, NoPrinter, "1", design, ""},
        {"lower case is no port", "com3:19200,E,7,2", live, NoPrinter, "1", live, ""},
        {"lower case parallel", "lpt1:", unknown, NoPrinter, "1", design, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const Fields f = Load(c.stored, c.current);
        EXPECT_EQ(f.kind, c.kind);
        EXPECT_EQ(f.lpt, c.lpt);
        EXPECT_EQ(f.serial, c.serial);
        EXPECT_EQ(Make(f), c.back);
    }
}

TEST_F(PrinterSettingsTable, OnlyATextAPrinterCanTakeIsValid)
{
    for (const char* good : {"", "LPT1:", "LPT255:", "COM1:9600,N,8,1", "COM255:19200,E,7,2", "COM3:1200,O,5,1.5"})
        EXPECT_TRUE(IsValid(good)) << good;
    for (const char* bad : {"LPT0:", "LPT256:", "LPT1", "COM0:9600,N,8,1", "COM?????:?????,N,?????,?????",
                            "COM3:abc,N,8,1", "COM3:9600,X,8,1", "COM3:9600,N,9,1", "COM3:9600,N,8,3",
                            "COM3:9600,N,8", "COM3:0,N,8,1", "com3:9600,N,8,1", "USB1:"})
        EXPECT_FALSE(IsValid(bad)) << bad;
}

TEST_F(PrinterSettingsTable, ThePrinterIsRefusedTheBusPortsDevice)
{
    const QString bus = folder() + "/ttyBUS";
    QFile(bus).open(QIODevice::WriteOnly);
    ASSERT_TRUE(QFile::link(bus, folder() + "/ttyAlias"));
    VEXfonctions::SetIni("Ports", "COM1", bus);
    VEXfonctions::SetIni("Ports", "COM2", folder() + "/ttyAlias");
    VEXfonctions::SetIni("Ports", "LPT1", bus);
    VEXfonctions::SetIni("Ports", "COM3", folder() + "/ttyPRN");
    EXPECT_TRUE(OnBusDevice("COM1:9600,N,8,1", 1));
    EXPECT_TRUE(OnBusDevice("COM2:9600,N,8,1", 1)) << "another name of the same device";
    EXPECT_TRUE(OnBusDevice("LPT1:", 1));
    EXPECT_FALSE(OnBusDevice("COM3:9600,N,8,1", 1));
    EXPECT_FALSE(OnBusDevice("COM1:9600,N,8,1", 3));
    EXPECT_FALSE(OnBusDevice("", 1));
}
