// The library and instruction text editors on the program's assembly: the
// moves through the texts, copy, paste, cut and clear, the keyboard edit, the
// import of a file's first 1024 bytes, cancel, the number kept from one visit
// to the next, and leaving: asked only after a real change, Yes writing the
// texts into the working file in Windows-1252.

#include "platform/Cp1252.h"
#include "platform/Help.h"
#include "program/core/dlgKeyboard.h"
#include "program/screens/system/dlgMenuParams.h"
#include "program/screens/system/wParamBiblio.h"
#include "program/screens/system/wParamConsignes.h"
#include "tests/screens/SettingsFixture.h"

#include <QDir>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>

namespace {

constexpr int kYes = 6;
constexpr int kNo = 7;
constexpr int kCancel = 2;

using T = TextEditorScreen;

class TextEditors : public SettingsFixture {
protected:
    void SetUp() override
    {
        SettingsFixture::SetUp();
        // Each test starts as the program's first visit does.
        wParamBiblio::Memory() = {};
        wParamConsignes::Memory() = {};
    }

    wParamBiblio* library() { return openScreen<wParamBiblio>(FormNames::wParamBiblio); }
    wParamConsignes* instructions() { return openScreen<wParamConsignes>(FormNames::wParamConsignes); }

    static QString line(T* s, int n) { return s->lstTexts->item(n - 1)->text(); }
    static QString number(T* s) { return s->lblNumero->Caption(); }

    // The keyboard answered: the text typed (nothing typed: OK on what it opened with).
    struct Typed {
        QString title;
        QString opened;
        bool multiLine = false;
        bool lineBreakKey = false;
        int maxLength = 0;
    };
    static void type(ModalAnswers& answers, Typed& seen, const std::optional<QString>& text, bool ok = true)
    {
        answers.on(FormNames::dlgKeyboard, [&seen, text, ok](plat::Form* f) {
            auto* kb = qobject_cast<dlgKeyboard*>(f);
            KeyboardTextBox* box = kb->activeTextBox();
            seen = {kb->lblTitle->text(), box->Text(), box->MultiLine() && kb->txtValue(0)->isHidden(),
                    kb->imgCRLF->isVisible(), box->MaxLength()};
            if (text)
                box->setText(*text);
            kb->imgControl(ok ? 1 : 0)->click();
        });
    }

    static QString writeFile(const QString& name, const QByteArray& bytes)
    {
        QDir().mkpath(folder() + "/import");
        const QString path = folder() + "/import/" + name;
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
        return path;
    }

    // Leaves with the answer to the save question (0: no question expected).
    void leave(T* s, int answer)
    {
        ModalAnswers answers;
        if (answer)
            answers.message(answer);
        click(s->imgNavig(T::NavigLeave));
        settle();
        EXPECT_TRUE(answers.allAnswered()) << "the save question was not asked";
        EXPECT_TRUE(answers.unexpected.isEmpty()) << answers.unexpected.join("; ").toStdString();
    }
};

TEST_F(TextEditors, PagesStepAndStopAtTheEndsAndTheListFollowsTheNumber)
{
    struct Case {
        const char* screen;
        int button;
        std::vector<int> numbers;
    } cases[] = {
        {"instructions", T::PageForward, {9, 17, 25, 33, 41, 48, 48}},
        {"instructions", T::PageBack, {40, 32, 24, 16, 8, 1, 1}},
        {"library", T::PageForward, {20, 39, 58, 64, 64}},
        {"library", T::PageBack, {45, 26, 7, 1}},
        {"library", T::Next, {2, 3}},
        {"library", T::Previous, {2, 1, 1}},
    };
    T* s = nullptr;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.screen + std::string(" button ") + std::to_string(c.button));
        if (!s || s->Name() != (std::string(c.screen) == "library" ? "wParamBiblio" : "wParamConsignes"))
            s = std::string(c.screen) == "library" ? static_cast<T*>(library()) : static_cast<T*>(instructions());
        for (int n : c.numbers) {
            click(s->imgControl(c.button));
            EXPECT_EQ(number(s), QString::number(n));
            EXPECT_EQ(s->lstTexts->currentRow(), n - 1);
        }
    }
    // A touch on a line makes its text the current one.
    gConfig->setConsigne(13, "Evacuate the hall.\r\nCount the staff.");
    wParamConsignes* i = instructions();
    i->lstTexts->setListIndex(12);
    EXPECT_EQ(number(i), "13");
    EXPECT_EQ(i->txtConsigne->toPlainText(), "Evacuate the hall.\nCount the staff.");
    EXPECT_TRUE(reports.isEmpty()) << reports.join("; ").toStdString();
}

TEST_F(TextEditors, CopyPasteCutAndClearWorkOnWholeEntriesWithTheEditorsOwnClipboard)
{
    gConfig->setBiblio(3, " Fire");
    gConfig->setModified(false);
    wParamBiblio* s = library();
    EXPECT_EQ(line(s, 3), "03 -  Fire" + QString(19, ' ')) << "listed as stored, blanks kept";

    // Nothing copied yet: a beep.
    s->lblNumero->setCaption("5");
    click(s->imgControl(T::Paste));
    EXPECT_EQ(beeps, 1);
    EXPECT_EQ(s->Model().Text(5), QString(24, QChar(0)));

    s->lblNumero->setCaption("3");
    click(s->imgControl(T::Copy));
    s->lblNumero->setCaption("5");
    click(s->imgControl(T::Paste));
    EXPECT_EQ(s->Model().Text(5), " Fire" + QString(19, ' '));
    EXPECT_EQ(line(s, 5), "05 - Fire") << "a pasted entry takes the list's format";

    // Cut leaves the source empty and the clipboard full.
    click(s->imgControl(T::Cut));
    EXPECT_EQ(s->Model().Text(5), QString(24, ' '));
    EXPECT_EQ(line(s, 5), "05 - ");
    s->lblNumero->setCaption("6");
    click(s->imgControl(T::Paste));
    EXPECT_EQ(s->Model().Text(6), " Fire" + QString(19, ' '));
    s->lblNumero->setCaption("3");
    click(s->imgControl(T::Clear));
    EXPECT_EQ(line(s, 3), "03 - ");
    EXPECT_FALSE(gConfig->Modified()) << "nothing reaches the configuration before leaving";

    // The clipboard outlives the screen.
    leave(s, kNo);
    EXPECT_EQ(gConfig->Biblio(3), " Fire" + QString(19, ' '));
    s = library();
    EXPECT_EQ(number(s), "3");
    s->lblNumero->setCaption("10");
    click(s->imgControl(T::Paste));
    EXPECT_EQ(s->Model().Text(10), " Fire" + QString(19, ' '));

    // The instruction editor shows what a paste or a clear leaves.
    gConfig->setConsigne(2, "Open the gate.");
    wParamConsignes* i = instructions();
    i->lblNumero->setCaption("2");
    click(i->imgControl(T::Copy));
    i->lblNumero->setCaption("4");
    click(i->imgControl(T::Paste));
    EXPECT_EQ(i->txtConsigne->toPlainText(), "Open the gate.");
    EXPECT_EQ(line(i, 4), "04 - Open the gate.");
    click(i->imgControl(T::Clear));
    EXPECT_EQ(i->txtConsigne->toPlainText(), "");
    EXPECT_TRUE(reports.isEmpty()) << reports.join("; ").toStdString();
}

TEST_F(TextEditors, TheKeyboardEditsAnInstructionWithLineBreaksAndALibraryTextOnOneLine)
{
    gConfig->setConsigne(7, "Call the guard.");
    wParamConsignes* i = instructions();
    i->lblNumero->setCaption("7");
    ModalAnswers answers;
    Typed seen;
    type(answers, seen, QString("Close the valve.\r\nCall the guard.\r\n\r\nWait."));
    click(i->imgControl(T::Keyboard));
    EXPECT_TRUE(answers.allAnswered());
    EXPECT_EQ(seen.title, Config::GetText(400150) + " 7");
    EXPECT_EQ(seen.opened, "Call the guard.") << "opened without the padding";
    EXPECT_TRUE(seen.multiLine);
    EXPECT_TRUE(seen.lineBreakKey);
    EXPECT_EQ(seen.maxLength, 1024);
    const QString typed = "Close the valve.\r\nCall the guard.\r\n\r\nWait.";
    EXPECT_EQ(i->Model().Text(7), typed.leftJustified(1024, ' '));
    EXPECT_EQ(line(i, 7), "07 - Close the valve. Call the guard.  Wait.");
    EXPECT_EQ(i->txtConsigne->toPlainText(), "Close the valve.\nCall the guard.\n\nWait.");
    EXPECT_EQ(plat::Forms::Find(FormNames::dlgKeyboard), nullptr);

    // Cancelled, the keyboard changes nothing.
    type(answers, seen, QString("Something else"), false);
    click(i->imgControl(T::Keyboard));
    EXPECT_EQ(i->Model().Text(7), typed.leftJustified(1024, ' '));

    gConfig->setBiblio(4, "Fire");
    wParamBiblio* b = library();
    b->lblNumero->setCaption("4");
    type(answers, seen, QString(" Smoke, stairs A"));
    click(b->imgControl(T::Keyboard));
    EXPECT_EQ(seen.title, Config::GetText(400151) + " 4");
    EXPECT_EQ(seen.opened, "Fire");
    EXPECT_FALSE(seen.multiLine);
    EXPECT_FALSE(seen.lineBreakKey);
    EXPECT_EQ(seen.maxLength, 24);
    EXPECT_EQ(line(b, 4), "04 -  Smoke, stairs A" + QString(8, ' ')) << "a typed library text is listed as typed";
    EXPECT_TRUE(reports.isEmpty()) << reports.join("; ").toStdString();
}

TEST_F(TextEditors, AnImportTakesTheFilesFirst1024BytesAndAnUnreadableFileIsReportedOnce)
{
    VEXfonctions::SetIni("Files", "Import", "/media/usb");
    gConfig->setConsigne(5, "Old text");
    wParamConsignes* s = instructions();
    s->lblNumero->setCaption("5");

    // 1500 bytes with line breaks and accented letters in Windows-1252.
    QByteArray big = "R\xE9gler la vanne.\r\nAppeler le poste \xAB" "A\xBB.\r\n";
    while (big.size() < 1500)
        big += "0123456789";
    big.truncate(1500);
    importAnswers = {writeFile("long.txt", big)};
    click(s->imgControl(T::Import));
    EXPECT_EQ(fileFilters, QStringList{Config::GetText(50004, true) + " | /media/usb"});
    EXPECT_TRUE(fileFilters[0].contains('|'));
    EXPECT_EQ(s->Model().Text(5), plat::Cp1252::decode(big.left(1024)));
    EXPECT_TRUE(s->Model().Text(5).startsWith(QString::fromUtf8("Régler la vanne.\r\nAppeler le poste «A».\r\n")));
    EXPECT_TRUE(line(s, 5).startsWith(QString::fromUtf8("05 - Régler la vanne. Appeler le poste «A». 0123")))
        << line(s, 5).toStdString();
    EXPECT_EQ(ini("Files", "Import"), folder() + "/import");

    // Ten bytes, one of them NUL: blanks for the NUL and for the rest.
    importAnswers = {writeFile("short.txt", QByteArray("Gas\0leak!\n", 10))};
    click(s->imgControl(T::Import));
    EXPECT_EQ(s->Model().Text(5), QString("Gas leak!\n").leftJustified(1024, ' '));
    EXPECT_EQ(s->txtConsigne->toPlainText(), "Gas leak!\n");

    // Cancelled: nothing. Unreadable: one report, the entry and the folder as they were.
    importAnswers = {""};
    click(s->imgControl(T::Import));
    VEXfonctions::SetIni("Files", "Import", "/media/usb");
    for (const QString& bad : {folder() + "/import", folder() + "/gone.txt"}) {
        reports.clear();
        importAnswers = {bad};
        click(s->imgControl(T::Import));
        EXPECT_EQ(reports, QStringList{"wParamConsignes.imgControl_Click 75"}) << bad.toStdString();
        EXPECT_EQ(s->Model().Text(5), QString("Gas leak!\n").leftJustified(1024, ' '));
        EXPECT_EQ(ini("Files", "Import"), "/media/usb");
    }
    EXPECT_TRUE(importAnswers.empty());
}

TEST_F(TextEditors, CancelRestoresEveryEntryAndTheLastEntryOpensAgainNextTime)
{
    gConfig->setConsigne(1, "First");
    gConfig->setConsigne(17, "Seventeenth");
    wParamConsignes* s = instructions();
    EXPECT_EQ(number(s), "1") << "the first visit opens on entry 1";
    click(s->imgControl(T::Copy));
    s->lblNumero->setCaption("17");
    click(s->imgControl(T::Paste));
    s->lblNumero->setCaption("3");
    click(s->imgControl(T::Cut));
    s->lblNumero->setCaption("17");
    ModalAnswers answers;
    Typed seen;
    type(answers, seen, QString("Typed"));
    click(s->imgControl(T::Keyboard));
    ASSERT_EQ(s->txtConsigne->toPlainText(), "Typed");

    click(s->lblCancel);
    EXPECT_EQ(s->Model().Text(17), gConfig->Consigne(17));
    EXPECT_EQ(s->Model().Text(1), gConfig->Consigne(1));
    EXPECT_EQ(line(s, 17), "17 - Seventeenth");
    EXPECT_EQ(s->txtConsigne->toPlainText(), "Seventeenth") << "the preview shows what was restored";
    EXPECT_EQ(number(s), "17");

    leave(s, 0);
    s = instructions();
    EXPECT_EQ(number(s), "17");
    EXPECT_EQ(s->lstTexts->currentRow(), 16);
    EXPECT_EQ(s->txtConsigne->toPlainText(), "Seventeenth");
}

TEST_F(TextEditors, OnlyARealChangeIsAskedAboutAndYesSavesTheTextsInWindows1252)
{
    // A fresh configuration: never-assigned texts show as blanks and open an empty keyboard.
    for (bool isLibrary : {true, false}) {
        T* s = isLibrary ? static_cast<T*>(library()) : static_cast<T*>(instructions());
        SCOPED_TRACE(s->Name().toStdString());
        EXPECT_EQ(s->Model().Text(1), QString(s->Model().kind().length, QChar(0)));
        for (int n = 1; n <= s->lstTexts->count(); ++n)
            EXPECT_FALSE(line(s, n).contains(QChar(0))) << n;
        EXPECT_EQ(line(s, 1).trimmed(), "01 -");
        if (s->txtConsigne) {
            EXPECT_EQ(s->txtConsigne->toPlainText(), "");
        }
        Typed seen;
        {
            ModalAnswers answers;
            type(answers, seen, std::nullopt);
            click(s->imgControl(T::Keyboard));
        }
        EXPECT_EQ(seen.opened, "");
        // Cleared, or confirmed as it was: nothing to ask.
        click(s->imgControl(T::Clear));
        leave(s, 0);
    }

    // Changed, then changed back: nothing to ask either.
    gConfig->setBiblio(2, "Fire");
    gConfig->setModified(false);
    wParamBiblio* b = library();
    b->lblNumero->setCaption("2");
    Typed seen;
    {
        ModalAnswers answers;
        type(answers, seen, QString("Smoke"));
        click(b->imgControl(T::Keyboard));
        type(answers, seen, QString("Fire"));
        click(b->imgControl(T::Keyboard));
    }
    leave(b, 0);
    EXPECT_FALSE(QFile::exists(workingFile()));

    // Cancel stays, No drops, Yes writes and saves.
    b = library();
    {
        ModalAnswers answers;
        type(answers, seen, QString::fromUtf8("Sortie Ü"));
        click(b->imgControl(T::Keyboard));
        answers.message(kCancel);
        click(b->imgNavig(T::NavigLeave));
        EXPECT_TRUE(answers.allAnswered());
    }
    EXPECT_EQ(visibleForms(), QStringList{"wParamBiblio"});
    leave(b, kNo);
    EXPECT_EQ(gConfig->Biblio(2), QString("Fire").leftJustified(24, ' '));
    EXPECT_FALSE(gConfig->Modified());

    wParamConsignes* i = instructions();
    i->lblNumero->setCaption("48");
    {
        ModalAnswers answers;
        type(answers, seen, QString::fromUtf8("Fermer la vanne.\r\nPrévenir l'équipe."));
        click(i->imgControl(T::Keyboard));
    }
    leave(i, kYes);
    EXPECT_EQ(visibleForms(), QStringList{"wMain"});
    EXPECT_EQ(gConfig->Consigne(48), QString::fromUtf8("Fermer la vanne.\r\nPrévenir l'équipe.").leftJustified(1024, ' '));
    const auto saved = savedConfig();
    ASSERT_NE(saved, nullptr);
    EXPECT_EQ(saved->Consigne(48), gConfig->Consigne(48));
    EXPECT_EQ(saved->Biblio(2), gConfig->Biblio(2));
    EXPECT_EQ(saved->Consigne(1), QString(1024, QChar(0))) << "entries nobody touched keep their bytes";
    QFile f(workingFile());
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_TRUE(f.readAll().contains("Pr\xE9venir l'\xE9quipe.")) << "stored in Windows-1252";
    EXPECT_TRUE(reports.isEmpty()) << reports.join("; ").toStdString();
}

TEST_F(TextEditors, HelpOpensTheHelpFileAndCloseReopensTheParametersMenu)
{
    plat::Help::setHelpFile(folder() + "/PLX2-en.chm");
    wParamBiblio* s = library();
    click(s->imgNavig(T::NavigHelp));
    EXPECT_EQ(helpOpened, QStringList{folder() + "/PLX2-en.chm"});
    ModalAnswers answers;
    answers.click(FormNames::dlgMenuParams, menuButton(MenuDialog::CmdCancel));
    click(s->imgClose);
    settle();
    EXPECT_TRUE(answers.allAnswered());
    EXPECT_EQ(visibleForms(), QStringList{"wMain"});
}

} // namespace
