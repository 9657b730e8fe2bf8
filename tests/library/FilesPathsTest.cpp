#include "library/BrowseDirectory.h"
#include "library/FilesPaths.h"

#include "platform/Forms.h"
#include "platform/NestedLoop.h"
#include "platform/RtError.h"
#include "tests/harness/TestSupport.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QRegularExpression>
#include <QTimer>
#include <QTreeView>
#include <QWidget>

#include <functional>

#include <gtest/gtest.h>

using namespace VexLib22;

namespace {

// What the user types into the name box (a visible dialog's selectFile leaves a focused box alone).
void typeName(QFileDialog* dialog, const QString& text)
{
    dialog->findChild<QLineEdit*>("fileNameEdit")->setText(text);
}

class FilesPathsTest : public testing::Test {
protected:
    void SetUp() override { m_fp = plat::ComPtr<_FilesPaths>::attach(new FilesPaths); }

    QString folder(const QString& name) const
    {
        const QString path = testing_support::programFolder() + "/" + name;
        QDir().mkpath(path);
        return path;
    }
    static void touch(const QString& path)
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    }

    // Runs action on the modal dialog as soon as it is up (the dialog's own
    // loop delivers the timer), so a test can read, accept or reject it. The
    // timer goes with the test, whatever ends it.
    void onModalDialog(std::function<void(QWidget*)> action, int triesLeft = 500)
    {
        QTimer::singleShot(10, &m_context, [this, action, triesLeft] {
            if (QWidget* w = QApplication::activeModalWidget())
                action(w);
            else if (triesLeft > 0)
                onModalDialog(action, triesLeft - 1);
        });
    }

    plat::ComPtr<_FilesPaths> m_fp;
    QObject m_context;
};

} // namespace

// ---- Cutting paths -----------------------------------------------------------

TEST_F(FilesPathsTest, CutsPathsAtTheLastSlashAndTheLastPoint)
{
    struct Case { const char* path; const char* dir; const char* name; const char* title; const char* ext; };
    const Case cases[] = {
        {"/A/b.txt", "/A", "b.txt", "/A/b", "txt"},
        {"name.txt", "", "name.txt", "name", "txt"},
        // The last point may stand in a folder name.
        {"/old.files/readme", "/old.files", "readme", "/old", "files/readme"},
        {"/A/B/", "/A/B", "", "/A/B/", ""},
        {"/x", "", "x", "/x", ""},
        {"archive.tar.gz", "", "archive.tar.gz", "archive.tar", "gz"},
        {"", "", "", "", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        EXPECT_EQ(m_fp->GetDirectoryFromPath(c.path), QString(c.dir));
        EXPECT_EQ(m_fp->GetFilenameFromPath(c.path), QString(c.name));
        EXPECT_EQ(m_fp->GetFileTitle(c.path), QString(c.title));
        EXPECT_EQ(m_fp->GetFileExt(c.path), QString(c.ext));
    }
}

TEST_F(FilesPathsTest, DeleteLastSlashRemovesOneSlashOnly)
{
    struct Case { const char* in; const char* out; };
    const Case cases[] = {{"/A//", "/A/"}, {"/A/", "/A"}, {"/A", "/A"}, {"/", ""}, {"", ""}};
    for (const Case& c : cases)
        EXPECT_EQ(m_fp->DeleteLastSlash(c.in), QString(c.out)) << c.in;
}

TEST_F(FilesPathsTest, RelPathGoesUpFromTheReferenceFolder)
{
    struct Case { const char* ref; const char* abs; const char* result; const char* absAfter; };
    const Case cases[] = {
        {"/A/B", "/A/C/d.txt", "../C/d.txt", "/A/C/d.txt"},
        {"/A/B/", "/A/B/C/", "C", "/A/B/C"},
        {"/A/B", "/A/B", "", "/A/B"},
        {"/A/B/C", "/A", "../..", "/A"},
        {"/A", "/A/x/y/z", "x/y/z", "/A/x/y/z"},
        // Components compare with case.
        {"/A/b", "/A/B/x", "../B/x", "/A/B/x"},
        // No common first folder, or not both absolute: unchanged, trailing slash kept.
        {"/A", "/B/x/", "/B/x/", "/B/x/"},
        {"/a", "/A/x", "/A/x", "/A/x"},
        {"A/B", "/A/x", "/A/x", "/A/x"},
        {"/A/B", "A/x", "A/x", "A/x"},
        {"/", "/A/x", "/A/x", "/A/x"},
        // The root keeps its slash.
        {"/", "/", "", "/"},
        // A list ends at its first empty component.
        {"/A/B//C", "/A/x", "../x", "/A/x"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.ref) + " -> " + c.abs);
        QString abs = c.abs;
        EXPECT_EQ(m_fp->RelPath(c.ref, abs), QString(c.result));
        EXPECT_EQ(abs, QString(c.absAfter));
    }
}

TEST_F(FilesPathsTest, RelPathDoesNotCarryTextOverFromAnEarlierCall)
{
    // An empty remainder must not make the tokenizer go on with the previous path.
    QString first = "/A/x";
    m_fp->RelPath("/A/B", first);
    QString abs = "/A/x";
    EXPECT_EQ(m_fp->RelPath("/", abs), QString("/A/x"));
}

// ---- Temporary files ---------------------------------------------------------

TEST_F(FilesPathsTest, GetTempFileNameCreatesAnEmptyFileWithAnUpperCaseName)
{
    const QString dir = folder("lower/case");
    const QRegularExpression name("^~VE[0-9A-F]{4}\\.TMP$");
    for (const QString& given : {dir, dir + "/"}) {
        const QString path = m_fp->GetTempFileName(given);
        SCOPED_TRACE(path.toStdString());
        ASSERT_FALSE(path.isEmpty());
        // The folder keeps its case; only the name is upper case.
        EXPECT_EQ(QFileInfo(path).path(), dir);
        EXPECT_TRUE(name.match(QFileInfo(path).fileName()).hasMatch());
        EXPECT_TRUE(QFileInfo(path).isFile());
        EXPECT_EQ(QFileInfo(path).size(), 0);
    }
    EXPECT_NE(m_fp->GetTempFileName(dir), m_fp->GetTempFileName(dir));
}

TEST_F(FilesPathsTest, GetTempFileNameWithoutFolderUsesTheSystemsTemporaryFolder)
{
    const QString path = m_fp->GetTempFileName();
    ASSERT_FALSE(path.isEmpty());
    EXPECT_EQ(QFileInfo(path).path(), QDir::tempPath());
    EXPECT_TRUE(QFile::exists(path));
    QFile::remove(path);
}

TEST_F(FilesPathsTest, GetTempFileNameNeverTakesAnExistingFile)
{
    const QString dir = folder("full");
    // Every fourth name is taken already: each new one must be a fresh file.
    for (int i = 0; i < 0x10000; i += 4)
        touch(dir + QString("/~VE%1.TMP").arg(i, 4, 16, QChar('0')).toUpper());
    for (int n = 0; n < 40; ++n) {
        const QString path = m_fp->GetTempFileName(dir);
        ASSERT_FALSE(path.isEmpty());
        bool ok = false;
        const int unique = QFileInfo(path).fileName().mid(3, 4).toInt(&ok, 16);
        EXPECT_TRUE(ok);
        EXPECT_NE(unique % 4, 0) << path.toStdString();
    }
}

TEST_F(FilesPathsTest, GetTempFileNameFailsWithEmptyText)
{
    EXPECT_EQ(m_fp->GetTempFileName(testing_support::programFolder() + "/missing"), QString());
}

// ---- File dialogs ------------------------------------------------------------

TEST_F(FilesPathsTest, FiltersBecomeNameFilters)
{
    struct Case { const char* filter; QStringList expected; };
    const Case cases[] = {
        {"Text files|*.txt|All files|*.*", {"Text files (*.txt)", "All files (*)"}},
        {"Configurations (*.px2)|*.px2;*.dat|", {"Configurations (*.px2) (*.px2 *.dat)"}},
        // The list ends at an empty part.
        {"A|*.a||B|*.b", {"A (*.a)"}},
        {"", {}},
        {"No pattern", {}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(FilesPaths::nameFilters(c.filter), c.expected) << c.filter;
}

TEST_F(FilesPathsTest, GetFileNameOpensInTheFoldersOfTheNameWithTheNamePreselected)
{
    const QString dir = folder("Data");
    touch(dir + "/old.px2");
    QString seenDir, seenName, seenTitle;
    onModalDialog([&](QWidget* w) {
        auto* dialog = qobject_cast<QFileDialog*>(w);
        ASSERT_NE(dialog, nullptr);
        seenDir = dialog->directory().absolutePath();
        seenName = dialog->findChild<QLineEdit*>("fileNameEdit")->text();
        seenTitle = dialog->windowTitle();
        QMetaObject::invokeMethod(dialog, "accept");
    });
    int index = 0;
    const QString result = m_fp->GetFileName(nullptr, "Configurations|*.px2|All files|*.*", false, false,
                                             dir + "/old.px2", folder("Elsewhere"), "Open configuration", &index);
    EXPECT_EQ(seenDir, dir);
    EXPECT_EQ(seenName, QString("old.px2"));
    EXPECT_EQ(seenTitle, QString("Open configuration"));
    EXPECT_EQ(result, dir + "/old.px2");
    EXPECT_EQ(index, 1);
}

TEST_F(FilesPathsTest, GetFileNameWritesTheChosenFilterBackOnlyOnConfirm)
{
    const QString dir = folder("Data");
    touch(dir + "/b.TXT");
    const char* filter = "Configurations|*.px2|Text files|*.txt|All files|*.*";

    // Index 3 preselects the third filter; the user picks the second.
    QString preselected;
    onModalDialog([&](QWidget* w) {
        auto* dialog = qobject_cast<QFileDialog*>(w);
        preselected = dialog->findChild<QComboBox*>("fileTypeCombo")->currentText();
        dialog->selectNameFilter(FilesPaths::nameFilters(filter).at(1));
        typeName(dialog, "b.TXT");
        QMetaObject::invokeMethod(dialog, "accept");
    });
    int index = 3;
    EXPECT_EQ(m_fp->GetFileName(nullptr, filter, false, false, "", dir, "", &index), dir + "/b.TXT");
    EXPECT_EQ(preselected, QString("All files"));
    EXPECT_EQ(index, 2);

    onModalDialog([](QWidget* w) { qobject_cast<QDialog*>(w)->reject(); });
    index = 3;
    EXPECT_EQ(m_fp->GetFileName(nullptr, filter, false, false, "", dir, "", &index), QString());
    EXPECT_EQ(index, 3);
}

TEST_F(FilesPathsTest, GetFileNameListsNamesOfAnyCaseThatMatchTheFilter)
{
    const QString dir = folder("Data");
    for (const char* n : {"UPPER.PX2", "lower.px2", "other.txt", "noext"})
        touch(dir + "/" + n);
    QStringList shown;
    onModalDialog([&](QWidget* w) {
        auto* dialog = qobject_cast<QFileDialog*>(w);
        auto* model = dialog->findChild<QFileSystemModel*>();
        const QModelIndex root = model->index(dir);
        for (int tries = 0; tries < 200 && model->rowCount(root) < 2; ++tries)
            QApplication::processEvents(QEventLoop::AllEvents, 10);
        for (int tries = 0; tries < 10; ++tries)
            QApplication::processEvents(QEventLoop::AllEvents, 10);
        for (int r = 0; r < model->rowCount(root); ++r) {
            const QModelIndex i = model->index(r, 0, root);
            if (i.flags() & Qt::ItemIsEnabled)
                shown << i.data().toString();
        }
        dialog->reject();
    });
    m_fp->GetFileName(nullptr, "Configurations|*.px2", false, false, "", dir);
    shown.sort();
    EXPECT_EQ(shown, (QStringList{"UPPER.PX2", "lower.px2"}));
}

TEST_F(FilesPathsTest, GetFileNameWithMultipleFilesGivesTheFolderAndTheNamesBetweenNuls)
{
    const QString dir = folder("Multi");
    for (const char* n : {"a", "b", "c"})
        touch(dir + "/" + n);
    onModalDialog([](QWidget* w) {
        auto* dialog = qobject_cast<QFileDialog*>(w);
        typeName(dialog, "\"a\" \"b\" \"c\"");
        QMetaObject::invokeMethod(dialog, "accept");
    });
    const QString result = m_fp->GetFileName(nullptr, "All files|*.*", false, true, "", dir);
    const QChar nul(0);
    EXPECT_EQ(result, dir + nul + "a" + nul + "b" + nul + "c");

    // One file of a multiple selection comes back as its path.
    onModalDialog([](QWidget* w) {
        auto* dialog = qobject_cast<QFileDialog*>(w);
        typeName(dialog, "b");
        QMetaObject::invokeMethod(dialog, "accept");
    });
    EXPECT_EQ(m_fp->GetFileName(nullptr, "All files|*.*", false, true, "", dir), dir + "/b");
}

TEST_F(FilesPathsTest, GetFileNameSaveAcceptsANewName)
{
    const QString dir = folder("Save");
    bool saveMode = false;
    onModalDialog([&](QWidget* w) {
        auto* dialog = qobject_cast<QFileDialog*>(w);
        saveMode = dialog->acceptMode() == QFileDialog::AcceptSave;
        typeName(dialog, "new.px2");
        QMetaObject::invokeMethod(dialog, "accept");
    });
    EXPECT_EQ(m_fp->GetFileName(nullptr, "Configurations|*.px2", true, false, "", dir), dir + "/new.px2");
    EXPECT_TRUE(saveMode);
}

// ---- Folder browser ----------------------------------------------------------

TEST_F(FilesPathsTest, ChooseDirectoryRefusesWhatIsNotAForm)
{
    QWidget form;
    auto* control = new QWidget(&form);
    QObject notAWidget;
    // A browser opened by mistake is closed and noted, inside its own loop or after the calls.
    bool dialogShown = false;
    QTimer::singleShot(20, &m_context, [&] {
        if (auto* d = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
            dialogShown = true;
            d->reject();
        }
    });
    for (QObject* arg : {static_cast<QObject*>(control), static_cast<QObject*>(nullptr), &notAWidget}) {
        try {
            m_fp->ChooseDirectory(arg, "Folder", "/");
            ADD_FAILURE() << "no error";
        } catch (const plat::RtError& e) {
            EXPECT_EQ(e.number(), 1024);
            EXPECT_EQ(e.description(), QString::fromUtf8("La fonction requiert un objet Form en paramètre."));
            EXPECT_EQ(e.source(), QString("VexLib22"));
        }
    }
    QEventLoop wait;
    QTimer::singleShot(60, &wait, &QEventLoop::quit);
    wait.exec();
    EXPECT_FALSE(dialogShown);
}

TEST_F(FilesPathsTest, ChooseDirectoryStartsAtTheFolderAndShowsTheSelectedPath)
{
    const QString start = folder("History");
    const QString sub = folder("History/2024");
    QWidget form;
    QString prompt, statusAtStart, statusAfter;
    QWidget* owner = nullptr;
    onModalDialog([&](QWidget* w) {
        EXPECT_EQ(w->objectName(), QString(BrowseDirectory::kDialogName));
        owner = w->parentWidget();
        prompt = w->findChild<QLabel*>(BrowseDirectory::kPromptName)->text();
        auto* status = w->findChild<QLabel*>(BrowseDirectory::kStatusName);
        statusAtStart = status->text();
        auto* tree = w->findChild<QTreeView*>(BrowseDirectory::kTreeName);
        auto* model = tree->model();
        // The start folder is selected; step to its sub-folder.
        const QModelIndex current = tree->currentIndex();
        QModelIndex child;
        for (int tries = 0; tries < 200 && !child.isValid(); ++tries) {
            QApplication::processEvents(QEventLoop::AllEvents, 10);
            for (int r = 0; r < model->rowCount(current); ++r)
                if (model->index(r, 0, current).data().toString() == "2024")
                    child = model->index(r, 0, current);
        }
        if (child.isValid())
            tree->setCurrentIndex(child);
        statusAfter = status->text();
        qobject_cast<QDialog*>(w)->accept();
    });
    bool noNetwork = true;
    const QString result = m_fp->ChooseDirectory(&form, QString(2000, 'p'), start, &noNetwork);
    EXPECT_EQ(owner, &form);
    EXPECT_EQ(prompt, QString(1024, 'p'));
    EXPECT_EQ(statusAtStart, start);
    EXPECT_EQ(statusAfter, sub);
    EXPECT_EQ(result, sub);
}

TEST_F(FilesPathsTest, ChooseDirectoryCancelGivesEmptyTextAndEmptyStartIsTheCurrentFolder)
{
    QWidget form;
    QString status;
    onModalDialog([&](QWidget* w) {
        status = w->findChild<QLabel*>(BrowseDirectory::kStatusName)->text();
        qobject_cast<QDialog*>(w)->reject();
    });
    EXPECT_EQ(m_fp->ChooseDirectory(&form, "Folder", ""), QString());
    EXPECT_EQ(status, QDir::currentPath());
}

TEST_F(FilesPathsTest, ChoosersOverAFormUnloadedMeanwhileAnswerNothingAndTheFormOutlivesThem)
{
    struct Case {
        const char* chooser;
        std::function<QString(QWidget* owner)> open;
    };
    const QString start = folder("start");
    const Case cases[] = {
        {"open", [&](QWidget* owner) { return m_fp->GetFileName(owner, "All|*.*", false, false, "", start); }},
        {"save", [&](QWidget* owner) { return m_fp->GetFileName(owner, "All|*.*", true, false, "new.txt", start); }},
        {"folder", [&](QWidget* owner) { return m_fp->ChooseDirectory(owner, "Folder", start); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.chooser);
        QPointer<plat::Form> owner = plat::Forms::Adopt(new plat::Form("wOwner"));
        owner->Show();
        bool counted = false;
        bool leftOpen = false;
        onModalDialog([&](QWidget* dialog) {
            counted = plat::NestedLoop::running();
            // Chosen before the unload: the unload's cancel must win.
            if (auto* files = qobject_cast<QFileDialog*>(dialog))
                typeName(files, "new.txt");
            plat::Forms::Unload(owner);
            QTimer::singleShot(2000, dialog, [&leftOpen, dialog] {
                leftOpen = true;
                qobject_cast<QDialog*>(dialog)->reject();
            });
        });
        EXPECT_EQ(c.open(owner), QString());
        EXPECT_TRUE(counted) << "the owner's code waits in the chooser";
        EXPECT_FALSE(leftOpen);
        ASSERT_TRUE(owner) << "destroyed under the chooser";
        // Released by the loop once the chooser has returned.
        QCoreApplication::processEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        EXPECT_FALSE(owner);
    }
}
