// The printer settings screen on the program's real forms and the engine's
// live printer: what it shows of the stored settings and of the live
// printer, the settings text its controls make, the sequence dialog, the
// leave question and what Yes writes, the test print with its bytes on a
// pseudo-terminal, and the settings it refuses.

#include "program/core/EnginePrinter.h"
#include "program/core/dlgListInput.h"
#include "program/screens/system/EscapeSequences.h"
#include "program/screens/system/LivePrinter.h"
#include "program/screens/system/dlgParamPrinter.h"
#include "program/screens/system/wParamPrinter.h"
#include "tests/support/PrinterDevices.h"
#include "tests/support/ModalAnswers.h"
#include "tests/screens/PrinterFixture.h"
#include "program/core/FormNames.h"

#include <QCheckBox>
#include <QListWidget>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include <termios.h>

namespace {

using testing_support::ModalAnswers;

using namespace MsgResult;

class PrinterScreen : public PrinterFixture {
protected:
    void SetUp() override
    {
        PrinterFixture::SetUp();
        plat::Forms::Get(FormNames::wPolling);
        writeModel("Colour", colourModel());
        writeModel("Mono", monoModel());
    }

    static EnginePrinter& live() { return *engine()->dpPrinter(); }

    static wParamPrinter* open()
    {
        auto* s = qobject_cast<wParamPrinter*>(plat::Forms::Get(FormNames::wParamPrinter));
        s->Show();
        return s;
    }
    static wParamPrinter* screen() { return qobject_cast<wParamPrinter*>(plat::Forms::Find(FormNames::wParamPrinter)); }

    static void click(QWidget* w)
    {
        ASSERT_TRUE(w->isVisible()) << w->objectName().toStdString();
        ASSERT_TRUE(w->isEnabled()) << w->objectName().toStdString();
        QTest::mouseClick(w, Qt::LeftButton, {}, w->rect().center());
    }

    // The stored printer: settings, model, and the sequences that model gives the codes.
    static void store(const QString& settings, const QString& model, const EscapeSequences::Texts& codes)
    {
        gConfig->setPrtSettings(settings);
        gConfig->setPrinterName(model);
        const EscapeSequences::Texts built = EscapeSequences::Build(PrinterModelFile(model), codes);
        for (int i = 0; i < EscapeSequences::Count; ++i) {
            gConfig->setPrinterInitCode(i, codes[size_t(i)]);
            gConfig->setPrinterInitString(i, built[size_t(i)]);
        }
    }
    static EscapeSequences::Texts someCodes() { return {"0", "5B", "5BU", "1B", "0", "3I", "6", "2U"}; }

    // The value picker answered with that entry.
    static ModalAnswers& pick(ModalAnswers& answers, const QString& value)
    {
        return answers.on("dlgListInput", [value](plat::Form* f) {
            auto* p = qobject_cast<dlgListInput*>(f);
            const auto found = p->lstValue->findItems(value, Qt::MatchExactly);
            if (!found.isEmpty())
                p->lstValue->setCurrentItem(found.first());
            p->imgControl(2)->click();
        });
    }

    static void answeredWell(const ModalAnswers& answers)
    {
        EXPECT_TRUE(answers.allAnswered()) << answers.pending().join(", ").toStdString();
        EXPECT_TRUE(answers.unexpected.isEmpty()) << answers.unexpected.join("; ").toStdString();
    }
};

} // namespace

TEST_F(PrinterScreen, ShowsTheStoredSettingsAndTheLivePrintersLine)
{
    live().setPort("COM4");
    live().setSettings("4800,O,7,2");
    store("COM3:19200,E,7,2", "Mono", someCodes());
    wParamPrinter* s = open();
    EXPECT_EQ(s->lblPort(2)->text(), "X");
    EXPECT_EQ(s->lblPort(0)->text(), "");
    EXPECT_TRUE(s->PicPort(2)->isVisible());
    EXPECT_FALSE(s->PicPort(1)->isVisible());
    EXPECT_TRUE(s->cmdPrintTest->isEnabled());
    const QStringList shown{s->lblComPort->text(), s->lblComSpeed->text(), s->lblComParity->text(), s->lblComBits->text(),
                            s->lblComStop->text()};
    EXPECT_EQ(shown, QStringList({"3", "19200", "Even", "7", "2"}));
    QStringList current;
    for (int i = 5; i <= 9; ++i)
        current << s->lblComConfig(i)->text();
    EXPECT_EQ(current, QStringList({"4", "4800", "Odd", "7", "2"}));
    EXPECT_EQ(s->lstPrinterName->Text(), "Mono");
    EXPECT_EQ(s->lblEscCode(2)->text(), "Red Bold Underline");
    EXPECT_EQ(s->lblEscCode(1)->property("BackColor").toUInt(), wParamPrinter::SelectedColour);
    EXPECT_EQ(s->lblComPort->property("BackColor").toUInt(), wParamPrinter::SelectedColour);
    EXPECT_EQ(s->MakeSetting(), "COM3:19200,E,7,2");
    plat::Forms::Unload(s);
    settle();

    // Three items in the live settings show nothing of them.
    live().setSettings("4800,O,7");
    s = open();
    for (int i = 5; i <= 9; ++i)
        EXPECT_EQ(s->lblComConfig(i)->text(), "?????") << i;
    EXPECT_TRUE(reports.isEmpty()) << reports.join("; ").toStdString();
}

TEST_F(PrinterScreen, StoredTextsLoadAsTheirPortKind)
{
    VEXfonctions::SetIni("Ports", "LPT2", "/dev/null");
    const struct {
        const char* stored;
        int ticked;
        const char* made;
        const char* parity;
    } cases[] = {
        {"LPT2:", 1, "LPT2:", "None"},
        {"com3:19200,E,7,2", 0, "", "None"},
        {"", 0, "", "None"},
        {"COM3:19200,X,7,2", 2, "COM3:19200,N,7,2", "Unknown"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.stored);
        store(c.stored, "Mono", someCodes());
        wParamPrinter* s = open();
        for (int i = 0; i < 3; ++i)
            EXPECT_EQ(s->lblPort(i)->text(), i == c.ticked ? "X" : "") << i;
        EXPECT_EQ(s->PicPort(1)->isVisible(), c.ticked == 1);
        EXPECT_EQ(s->cmdPrintTest->isEnabled(), c.ticked != 0);
        EXPECT_EQ(s->lblComParity->text(), c.parity);
        EXPECT_EQ(s->MakeSetting(), c.made);
        plat::Forms::Unload(s);
        settle();
    }
}

TEST_F(PrinterScreen, TheControlsMakeTheSettingsText)
{
    // A parallel printer stored: the live printer has no serial line, so the
    // serial fields start from their design values.
    VEXfonctions::SetIni("Ports", "LPT1", "/dev/null");
    store("LPT1:", "Mono", someCodes());
    live().setPort("LPT1");
    live().setSettings("");
    wParamPrinter* s = open();
    EXPECT_EQ(s->lblComConfig(5)->text(), "?????");
    click(s->lblBusConfig(2));
    EXPECT_EQ(s->MakeSetting(), "COM1:9600,N,8,1");

    ModalAnswers answers;
    pick(answers, "3");
    click(s->imgComModif(wParamPrinter::ModifSerial));
    const char* const values[] = {"19200", "Even", "7", "2"};
    for (const char* v : values) {
        click(s->imgComDir(wParamPrinter::DirNext));
        pick(answers, v);
        click(s->imgComModif(wParamPrinter::ModifSerial));
    }
    answeredWell(answers);
    EXPECT_EQ(s->MakeSetting(), "COM3:19200,E,7,2");
    EXPECT_EQ(s->lblComStop->property("BackColor").toUInt(), wParamPrinter::SelectedColour);
    EXPECT_EQ(s->lblComPort->property("BackColor").toUInt(), wParamPrinter::FieldColour);
    click(s->imgComDir(wParamPrinter::DirNext));
    EXPECT_EQ(s->lblComPointer->Caption(), "5") << "the last field stays selected";

    click(s->lblPort(1));
    pick(answers, "2");
    click(s->imgComModif(wParamPrinter::ModifLpt));
    answeredWell(answers);
    EXPECT_EQ(s->MakeSetting(), "LPT2:");
    EXPECT_FALSE(s->PicPort(2)->isVisible());
    click(s->lblBusConfig(0));
    EXPECT_EQ(s->MakeSetting(), "");
    EXPECT_FALSE(s->cmdPrintTest->isEnabled());
    EXPECT_TRUE(reports.isEmpty()) << reports.join("; ").toStdString();
}

TEST_F(PrinterScreen, LeaveAsksOnlyWhenSomethingChanged)
{
    // No change: no question, the main window instead; also when the stored
    // model's name and its file's differ in case.
    for (const char* model : {"Mono", "MONO"}) {
        SCOPED_TRACE(model);
        store("", model, someCodes());
        ModalAnswers answers;
        wParamPrinter* s = open();
        EXPECT_EQ(s->lstPrinterName->Text(), "Mono");
        click(s->imgNavig(wParamPrinter::NavigLeave));
        settle();
        answeredWell(answers);
        EXPECT_EQ(screen(), nullptr);
        EXPECT_TRUE(visibleForms().contains("wMain"));
        EXPECT_EQ(gConfig->PrinterName(), model);
    }
    // The configured model has no file: the first model's sequences replace
    // the stored ones, which differ, so the question comes without an edit.
    store("", "Gone", someCodes());
    {
        ModalAnswers answers;
        answers.message(vbNo);
        wParamPrinter* s = open();
        EXPECT_EQ(s->lstPrinterName->Text(), "Colour");
        EXPECT_EQ(s->PrinterInitString(0), "1B 40");
        EXPECT_EQ(s->PrinterInitString(1), "1B 72 35 1B 45");
        click(s->imgNavig(wParamPrinter::NavigLeave));
        settle();
        answeredWell(answers);
        ASSERT_EQ(answers.messages.size(), 1);
        EXPECT_EQ(answers.messages[0], Config::GetText(30010));
        EXPECT_EQ(screen(), nullptr);
        EXPECT_EQ(gConfig->PrinterName(), "Gone") << "No keeps the configuration";
        EXPECT_EQ(gConfig->PrinterInitString(1), "");
    }
    // No port kind ticked: said, and the screen stays.
    {
        ModalAnswers answers;
        answers.message(vbOK);
        wParamPrinter* s = open();
        for (int i = 0; i < 3; ++i)
            s->lblPort(i)->setText("");
        click(s->imgNavig(wParamPrinter::NavigLeave));
        settle();
        answeredWell(answers);
        ASSERT_EQ(answers.messages.size(), 1);
        EXPECT_EQ(answers.messages[0], Config::GetText(30014));
        EXPECT_EQ(screen(), s);
    }
    EXPECT_TRUE(reports.isEmpty()) << reports.join("; ").toStdString();
}

TEST_F(PrinterScreen, YesStoresEverythingAndTheSavedFileReadsItBack)
{
    printer_devices::PtyLine line;
    ASSERT_FALSE(line.device().isEmpty());
    VEXfonctions::SetIni("Ports", "COM3", line.device());
    store("", "Mono", someCodes());
    live().setAddLF(false);
    wParamPrinter* s = open();
    click(s->lblPort(2));
    s->lblComPort->setCaption("3");
    s->lblComSpeed->setCaption("19200");
    s->lblComParity->setCaption(Config::GetText(100022));
    s->lblComBits->setCaption("7");
    s->lblComStop->setCaption("2");
    click(s->imgChangePrinter);
    EXPECT_EQ(s->lstPrinterName->Text(), "Colour") << "from the last model back to the first";
    const QString sequence2 = s->PrinterInitString(2);
    ModalAnswers answers;
    answers.message(vbYes);
    click(s->imgNavig(wParamPrinter::NavigLeave));
    settle();
    answeredWell(answers);
    EXPECT_EQ(screen(), nullptr);

    EXPECT_EQ(gConfig->PrtSettings(), "COM3:19200,E,7,2");
    EXPECT_EQ(gConfig->PrinterName(), "Colour");
    EXPECT_EQ(gConfig->PrinterInitString(2), "1B 72 35 1B 45 1B 2D 31");
    EXPECT_EQ(gConfig->PrinterInitString(2), sequence2);
    EXPECT_EQ(live().Port(), "COM3");
    EXPECT_EQ(live().Settings(), "19200,E,7,2");
    EXPECT_TRUE(live().AddLF()) << "lines keep their line feed";

    // Saved with the next save: a new read of the working file gives it all.
    Config::SaveCurrentConfig();
    ConfigClass back;
    ASSERT_EQ(back.Read(workingFile()), 0);
    EXPECT_EQ(back.PrtSettings(), "COM3:19200,E,7,2");
    EXPECT_EQ(back.PrinterName(), "Colour");
    for (int i = 0; i < EscapeSequences::Count; ++i) {
        EXPECT_EQ(back.PrinterInitCode(i), someCodes()[size_t(i)]) << i;
        EXPECT_EQ(back.PrinterInitString(i), gConfig->PrinterInitString(i)) << i;
    }
    QProcess dump;
    dump.start(testing_support::binFolder() + "/cfgdump", {workingFile()});
    ASSERT_TRUE(dump.waitForFinished(30000));
    const QString out = QString::fromUtf8(dump.readAllStandardOutput());
    for (const char* expected : {"COM3:19200,E,7,2", "Colour", "1B 72 35 1B 45 1B 2D 31", "5BU"})
        EXPECT_TRUE(out.contains(expected)) << expected << "\n" << out.toStdString();
    EXPECT_TRUE(reports.isEmpty()) << reports.join("; ").toStdString();
}

TEST_F(PrinterScreen, NoPrinterAfterYesLeavesTheLivePrinterClosedWithoutPort)
{
    printer_devices::PtyLine line;
    VEXfonctions::SetIni("Ports", "COM2", line.device());
    store("COM2:9600,N,8,1", "Mono", someCodes());
    live().setPort("COM2");
    ASSERT_EQ(live().OpenPrinter("", "9600,N,8,1", false), "");
    ASSERT_NE(live().Handle(), 0);
    wParamPrinter* s = open();
    click(s->lblBusConfig(0));
    ModalAnswers answers;
    answers.message(vbYes);
    click(s->imgNavig(wParamPrinter::NavigLeave));
    settle();
    answeredWell(answers);
    EXPECT_EQ(gConfig->PrtSettings(), "");
    EXPECT_EQ(live().Port(), "");
    EXPECT_EQ(live().Handle(), 0);
}

TEST_F(PrinterScreen, ATextThatCannotDriveAPrinterIsNotStored)
{
    VEXfonctions::SetIni("Ports", "COM1", folder() + "/ttyBUS");
    VEXfonctions::SetIni("Ports", "COM2", folder() + "/ttyBUS");
    const struct {
        const char* what;
        const char* stored;
        int message;
    } cases[] = {
        {"a speed that is no number", "COM3:abc,E,7,2", 20006},
        {"the bus port's device", "COM2:9600,N,8,1", 430132},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        store(c.stored, "Mono", someCodes());
        wParamPrinter* s = open();
        click(s->imgChangePrinter);
        ModalAnswers answers;
        answers.message(vbYes).message(vbOK);
        click(s->imgNavig(wParamPrinter::NavigLeave));
        settle();
        answeredWell(answers);
        ASSERT_EQ(answers.messages.size(), 2);
        EXPECT_EQ(answers.messages[1], Config::GetText(c.message).replace("$", "COM2"));
        EXPECT_EQ(screen(), s) << "the screen stays";
        EXPECT_EQ(gConfig->PrtSettings(), c.stored) << "nothing stored";
        EXPECT_EQ(gConfig->PrinterName(), "Mono");
        EXPECT_EQ(live().Port(), "");

        // The test print refuses it too, before it touches the printer.
        answers.message(vbOK);
        click(s->cmdPrintTest);
        answeredWell(answers);
        EXPECT_EQ(answers.messages.value(2), answers.messages[1]);
        plat::Forms::Unload(s);
        settle();
    }
    EXPECT_TRUE(reports.isEmpty()) << reports.join("; ").toStdString();
}

TEST_F(PrinterScreen, TestPrintSendsOneLineAndPutsTheLivePrinterBack)
{
    printer_devices::PtyLine tested;
    printer_devices::PtyLine own;
    VEXfonctions::SetIni("Ports", "COM2", tested.device());
    VEXfonctions::SetIni("Ports", "COM4", own.device());
    live().setPort("COM4");
    ASSERT_EQ(live().OpenPrinter("", "4800,E,7,1", false), "");
    const qint32 handle = live().Handle();
    ASSERT_NE(handle, 0);
    store("", "Mono", someCodes());
    wParamPrinter* s = open();
    click(s->lblPort(2));
    s->lblComPort->setCaption("2");
    s->lblComSpeed->setCaption("19200");

    ModalAnswers answers;
    answers.message(vbOK);
    click(s->cmdPrintTest);
    answeredWell(answers);
    ASSERT_EQ(answers.messages.size(), 1);
    EXPECT_EQ(answers.messages[0], Config::GetText(430102));
    EXPECT_EQ(tested.read(), LivePrinter::TestLine().toLatin1() + "\r\n");
    EXPECT_EQ(LivePrinter::TestLine().size(), 80);
    const termios line = tested.settings();
    EXPECT_EQ(cfgetospeed(&line), speed_t(B19200));
    EXPECT_EQ(own.read(100), QByteArray()) << "nothing on the live printer's own port";

    EXPECT_EQ(live().Port(), "COM4");
    EXPECT_EQ(live().Settings(), "4800,E,7,1");
    EXPECT_NE(live().Handle(), 0) << "open again";
    EXPECT_EQ(gConfig->PrtSettings(), "") << "nothing stored";

    // A closed live printer stays closed.
    live().ClosePrinter();
    answers.message(vbOK);
    click(s->cmdPrintTest);
    answeredWell(answers);
    EXPECT_EQ(live().Handle(), 0);
    EXPECT_EQ(tested.read(), LivePrinter::TestLine().toLatin1() + "\r\n");
    EXPECT_TRUE(reports.isEmpty()) << reports.join("; ").toStdString();
}

TEST_F(PrinterScreen, TestPrintSaysWhatWentWrong)
{
    VEXfonctions::SetIni("Ports", "COM2", folder() + "/no-such-device");
    VEXfonctions::SetIni("Ports", "LPT3", "/dev/full");
    store("", "Mono", someCodes());
    live().setPort("LPT1");
    wParamPrinter* s = open();

    // A port that does not open: the port test says so, nothing more.
    click(s->lblPort(2));
    s->lblComPort->setCaption("2");
    ModalAnswers answers;
    answers.message(vbOK);
    click(s->cmdPrintTest);
    answeredWell(answers);
    ASSERT_EQ(answers.messages.size(), 1);
    EXPECT_TRUE(answers.messages[0].startsWith(Config::GetText(20011).section("\r\n", 0, 0)))
        << answers.messages[0].toStdString();
    EXPECT_EQ(live().Port(), "LPT1");

    // A port that opens but takes nothing: its error, not the success.
    click(s->lblPort(1));
    s->lblLptPort->setCaption("3");
    answers.message(vbOK);
    click(s->cmdPrintTest);
    answeredWell(answers);
    ASSERT_EQ(answers.messages.size(), 2);
    EXPECT_NE(answers.messages[1], Config::GetText(430102));
    EXPECT_TRUE(answers.messages[1].contains("space", Qt::CaseInsensitive)) << answers.messages[1].toStdString();
    EXPECT_EQ(live().Port(), "LPT1");
    EXPECT_EQ(live().Handle(), 0);
    EXPECT_TRUE(reports.isEmpty()) << reports.join("; ").toStdString();
}

TEST_F(PrinterScreen, SequenceDialogOffersTheModelsChoicesAndItsAnswerReplacesTheSequence)
{
    EscapeSequences::Texts codes = someCodes();
    codes[4] = "9B"; // a colour no model has
    store("", "Mono", codes);
    wParamPrinter* s = open();
    for (int i = 0; i < 2; ++i)
        click(s->imgCharDir(wParamPrinter::DirNext));
    EXPECT_EQ(s->lblCharPointer->Caption(), "3");
    EXPECT_EQ(s->lblEscCode(3)->property("BackColor").toUInt(), wParamPrinter::SelectedColour);
    EXPECT_EQ(s->lblEscCode(1)->property("BackColor").toUInt(), wParamPrinter::FieldColour);

    // Cancel changes nothing.
    ModalAnswers answers;
    answers.on(FormNames::dlgParamPrinter, [](plat::Form* f) {
        auto* d = qobject_cast<dlgParamPrinter*>(f);
        EXPECT_EQ(d->lblLegend->text(), Config::GetText(430113));
        EXPECT_FALSE(d->optColor(0)->property("BackColor").isValid()) << "colour 0 keeps the dialog's background";
        const unsigned int backgrounds[] = {0xFF00FF, 0xFFFF00, 0xFF0000, 0x00FFFF, 0x0000FF, 0x008000};
        for (int c = 1; c < 7; ++c)
            EXPECT_EQ(d->optColor(c)->property("BackColor").toUInt(), backgrounds[c - 1]) << c;
        EXPECT_EQ(d->optColor(6)->text(), "Green");
        EXPECT_EQ(d->chkStyle(2)->text(), "Underline");
        EXPECT_TRUE(d->optColor(0)->isEnabled());
        for (int c = 1; c < 7; ++c)
            EXPECT_FALSE(d->optColor(c)->isEnabled()) << c;
        EXPECT_EQ(d->SelectedColour(), dlgParamPrinter::NoColour) << "colour 1 is not offered";
        EXPECT_TRUE(d->chkStyle(0)->isChecked());
        EXPECT_FALSE(d->chkStyle(1)->isEnabled());
        d->optColor(0)->setChecked(true);
        d->imgControl(dlgParamPrinter::ButtonCancel)->click();
    });
    click(s->imgCharModif);
    answeredWell(answers);
    EXPECT_EQ(s->PrinterInitCode(3), "1B");
    EXPECT_EQ(s->PrinterInitString(3), "1B 45");

    // OK with colour 0 (not in the file) and underline.
    answers.on(FormNames::dlgParamPrinter, [](plat::Form* f) {
        auto* d = qobject_cast<dlgParamPrinter*>(f);
        d->optColor(0)->setChecked(true);
        d->chkStyle(0)->setChecked(false);
        d->chkStyle(2)->setChecked(true);
        d->imgControl(dlgParamPrinter::ButtonOk)->click();
    });
    click(s->imgCharModif);
    answeredWell(answers);
    EXPECT_EQ(s->PrinterInitCode(3), "0U");
    EXPECT_EQ(s->PrinterInitString(3), "1B 2D 31");
    EXPECT_EQ(s->lblEscCode(3)->text(), "Black Underline");

    // A stored colour above 6 opens with no colour chosen; OK takes colour 0.
    click(s->imgCharDir(wParamPrinter::DirNext));
    EXPECT_EQ(s->lblEscCode(4)->text(), "Bold");
    answers.on(FormNames::dlgParamPrinter, [](plat::Form* f) {
        auto* d = qobject_cast<dlgParamPrinter*>(f);
        EXPECT_EQ(d->SelectedColour(), dlgParamPrinter::NoColour);
        d->imgControl(dlgParamPrinter::ButtonOk)->click();
    });
    click(s->imgCharModif);
    answeredWell(answers);
    EXPECT_EQ(s->PrinterInitCode(4), "0B");
    EXPECT_EQ(s->PrinterInitString(4), "1B 45");
    EXPECT_EQ(plat::Forms::Find(FormNames::dlgParamPrinter), nullptr);
    EXPECT_TRUE(reports.isEmpty()) << reports.join("; ").toStdString();
}

TEST_F(PrinterScreen, PointersStayWithinTheirLines)
{
    store("", "Mono", someCodes());
    wParamPrinter* s = open();
    click(s->imgCharDir(wParamPrinter::DirPrevious));
    EXPECT_EQ(s->lblCharPointer->Caption(), "1") << "sequence 0 is never edited";
    for (int i = 0; i < 9; ++i)
        click(s->imgCharDir(wParamPrinter::DirNext));
    EXPECT_EQ(s->lblCharPointer->Caption(), "7");
    EXPECT_EQ(s->lblEscCode(7)->property("BackColor").toUInt(), wParamPrinter::SelectedColour);
    s->lblCharPointer->setCaption("0");
    click(s->imgCharDir(wParamPrinter::DirNext));
    EXPECT_EQ(s->lblCharPointer->Caption(), "1");
}

TEST_F(PrinterScreen, ModelMessages)
{
    QFile::remove(folder() + "/Colour.prt");
    store("", "Mono", someCodes());
    wParamPrinter* s = open();
    ModalAnswers answers;
    answers.message(vbOK);
    click(s->imgChangePrinter);
    answeredWell(answers);
    EXPECT_EQ(answers.messages.value(0), Config::GetText(30020));

    // The model's file went after the load.
    QFile::remove(folder() + "/Mono.prt");
    answers.message(vbOK);
    click(s->imgCharModif);
    answeredWell(answers);
    EXPECT_EQ(answers.messages.value(1), Config::GetText(30021));
    plat::Forms::Unload(s);
    settle();

    // No model at all: the stored sequences stay, leaving with Yes stores no model name.
    s = open();
    EXPECT_EQ(s->lstPrinterName->ListCount(), 0);
    EXPECT_EQ(s->PrinterInitString(1), gConfig->PrinterInitString(1));
    for (QWidget* w : {static_cast<QWidget*>(s->imgChangePrinter), static_cast<QWidget*>(s->imgCharModif)}) {
        answers.message(vbOK);
        click(w);
        answeredWell(answers);
        EXPECT_EQ(answers.messages.last(), Config::GetText(30019));
    }
    answers.message(vbYes);
    click(s->imgNavig(wParamPrinter::NavigLeave));
    settle();
    answeredWell(answers);
    EXPECT_EQ(gConfig->PrinterName(), "");
    EXPECT_TRUE(reports.isEmpty()) << reports.join("; ").toStdString();
}

TEST_F(PrinterScreen, ABadModelFileIsSaidOnceAndGivesNoBadByte)
{
    writeModel("Colour", "[Reset]\r\nInit=1B 40\r\n[Colors]\r\n5=1B 72 G5\r\n[Styles]\r\nB=1B 45\r\n");
    writeModel("Junk", QByteArray("\x89PNG\r\n\x1A\n\x00\x00\x00\x0DIHDR", 16));
    store("", "Colour", someCodes());
    ModalAnswers answers;
    answers.message(vbOK);
    wParamPrinter* s = open();
    answeredWell(answers);
    ASSERT_EQ(answers.messages.size(), 1);
    EXPECT_TRUE(answers.messages[0].contains("Colour.prt")) << answers.messages[0].toStdString();
    EXPECT_TRUE(answers.messages[0].contains("[Colors] 5")) << answers.messages[0].toStdString();
    EXPECT_EQ(s->PrinterInitString(1), "1B 45");

    answers.message(vbOK);
    click(s->imgChangePrinter);
    answeredWell(answers);
    EXPECT_EQ(s->lstPrinterName->Text(), "Junk");
    ASSERT_EQ(answers.messages.size(), 2);
    EXPECT_TRUE(answers.messages[1].contains("Junk.prt")) << answers.messages[1].toStdString();
    for (int i = 0; i < EscapeSequences::Count; ++i)
        EXPECT_EQ(s->PrinterInitString(i), "") << i;
    EXPECT_TRUE(reports.isEmpty()) << reports.join("; ").toStdString();
}

TEST_F(PrinterScreen, CloseLeavesAndOpensTheParameterMenuAgain)
{
    store("", "Mono", someCodes());
    showMain();
    gUserLevel = 4;
    open();
    plat::Forms::Unload(mainWindow());
    settle();
    ModalAnswers answers;
    answers.click("dlgMenuParams", "cmdButtons(0)");
    click(screen()->imgClose);
    settle();
    answeredWell(answers);
    EXPECT_EQ(screen(), nullptr);
    EXPECT_TRUE(visibleForms().contains("wMain"));
}

TEST_F(PrinterScreen, RendersEveryPortKindInEveryLanguage)
{
    store("COM2:19200,E,7,1", "Colour", someCodes());
    const char* const languages[] = {"en", "fr", "de"};
    const char* const kinds[] = {"none", "lpt", "com"};
    for (int language = 0; language < 3; ++language) {
        gLanguage = language;
        wParamPrinter* s = open();
        for (int kind = 0; kind < 3; ++kind) {
            s->lblPort_Click(kind);
            const QString png = testing_support::renderToPng(
                s, QString("wParamPrinter-%1-%2").arg(kinds[kind], languages[language]));
            EXPECT_FALSE(QImage(png).isNull());
        }
        plat::Forms::Unload(s);
        settle();
        auto* d = qobject_cast<dlgParamPrinter*>(plat::Forms::Get(FormNames::dlgParamPrinter));
        d->lblLegend->setText(Config::GetText(430115));
        d->selectColour(3);
        const QString png = testing_support::renderToPng(d, QString("dlgParamPrinter-%1").arg(languages[language]));
        EXPECT_FALSE(QImage(png).isNull());
        plat::Forms::Unload(d);
        settle();
    }
    EXPECT_TRUE(reports.isEmpty()) << reports.join("; ").toStdString();
}
