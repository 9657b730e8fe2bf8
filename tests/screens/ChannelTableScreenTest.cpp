// The channel table's import and export buttons of the bus overview: the
// file dialog they ask, the file written or read, a cancelled dialog, and a
// refused file reported once under the handler's name.

#include "platform/AppIdentity.h"
#include "platform/Cp1252.h"
#include "platform/Screen.h"
#include "program/core/ChannelClass.h"
#include "program/core/PanelClass.h"
#include "program/screens/bus/ChannelTable.h"
#include "tests/screens/BusScreensFixture.h"

#include <QDir>

namespace {

class ChannelTableButtons : public BusScreensFixture {
protected:
    static QString path(const char* name) { return testing_support::programFolder() + "/" + name; }
    static QByteArray readFile(const QString& file)
    {
        QFile f(file);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    static void writeFile(const QString& file, const QString& text)
    {
        QFile f(file);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(plat::Cp1252::encode(text));
    }
    static constexpr int Import = wBusModules::ChannelTableImport;
    static constexpr int Export = wBusModules::ChannelTableExport;
};

} // namespace

TEST_F(ChannelTableButtons, ExportWritesTheChosenFileAndImportTakesOneIntoTheConfigurationWithoutSaving)
{
    gConfig->Panel(3)->setModel(2);
    gConfig->Panel(3)->Channel(20)->setScreenText("Flamme brûleur");
    gConfig->setModified(false);
    wBusModules* o = showOverview();
    ASSERT_TRUE(o->imgImportExport(Import)->isVisible());
    ASSERT_TRUE(o->imgImportExport(Export)->isVisible());

    fileAnswers = {path("table.txt")};
    click(o->imgImportExport(Export));
    ASSERT_EQ(fileDialogs.size(), 1u);
    EXPECT_TRUE(fileDialogs[0].save);
    EXPECT_EQ(fileDialogs[0].filter, Config::GetText(50004, true));
    EXPECT_TRUE(fileDialogs[0].filter.contains('|')) << "the filter keeps its bars";
    EXPECT_EQ(readFile(path("table.txt")), ChannelTable::Write(*gConfig));
    EXPECT_FALSE(gConfig->Modified());
    EXPECT_EQ(plat::Screen::MousePointer(), plat::Screen::vbDefault);

    // The technician changes channel 20 of module 3 in a spreadsheet.
    QString table = plat::Cp1252::decode(readFile(path("table.txt")));
    table.replace("Flamme brûleur", "Flamme brûleur nord");
    writeFile(path("edited.txt"), table);
    fileAnswers = {path("edited.txt")};
    click(o->imgImportExport(Import));
    ASSERT_EQ(fileDialogs.size(), 2u);
    EXPECT_FALSE(fileDialogs[1].save);
    EXPECT_EQ(fileDialogs[1].filter, Config::GetText(50004, true));
    EXPECT_EQ(gConfig->Panel(3)->Channel(20)->ScreenText(), "Flamme brûleur nord");
    EXPECT_TRUE(gConfig->Modified());
    EXPECT_FALSE(QFile::exists(plat::AppIdentity::programFile(".dat"))) << "the import saves nothing";
    EXPECT_EQ(plat::Screen::MousePointer(), plat::Screen::vbDefault);
    EXPECT_TRUE(reports.isEmpty()) << reports.join("; ").toStdString();
}

TEST_F(ChannelTableButtons, ACancelledDialogOrAnotherIndexChangesAndOpensNothing)
{
    wBusModules* o = showOverview();
    const QStringList before = QDir(testing_support::programFolder()).entryList(QDir::Files);
    fileAnswers = {"", ""};
    click(o->imgImportExport(Import));
    click(o->imgImportExport(Export));
    EXPECT_EQ(fileDialogs.size(), 2u);
    o->imgImportExport_Click(2);
    o->imgImportExport_Click(-1);
    EXPECT_EQ(fileDialogs.size(), 2u) << "only 0 and 1 ask for a file";
    EXPECT_FALSE(gConfig->Modified());
    EXPECT_EQ(QDir(testing_support::programFolder()).entryList(QDir::Files), before);
    EXPECT_TRUE(reports.isEmpty()) << reports.join("; ").toStdString();
}

TEST_F(ChannelTableButtons, ARefusedFileOrAnUnwritableTargetIsReportedOnceWithThePointerBack)
{
    wBusModules* o = showOverview();
    writeFile(path("bad.txt"), "Pnl\tChnl\r\n 5 \t 7 \t 1 \t 0 \t 2 \t 1 \t 0 \t 0 \t 3 \t 4 \t 1 \t 6 \tA\tB\t\r\n");
    writeFile(path("empty.txt"), "");
    // A spreadsheet's usual save on Linux: UTF-8, its accents two bytes each.
    {
        QFile utf8(path("utf8.txt"));
        ASSERT_TRUE(utf8.open(QIODevice::WriteOnly));
        utf8.write("Pnl\tChnl\r\n 5 \t 7 \t 1 \t 0 \t 2 \t 1 \t 0 \t 0 \t 3 \t 4 \t 1 \t 6 \tD\xc3\xa9tecteur\tB\t\r\n");
    }
    fileAnswers = {path("bad.txt"), path("empty.txt"), path("utf8.txt"), path("missing.txt"),
                   path("no-folder/table.txt")};
    click(o->imgImportExport(Import));
    click(o->imgImportExport(Import));
    click(o->imgImportExport(Import));
    click(o->imgImportExport(Import));
    click(o->imgImportExport(Export));
    EXPECT_EQ(reports, QStringList({"wBusModules.imgImportExport_Click 380", "wBusModules.imgImportExport_Click 380",
                                    "wBusModules.imgImportExport_Click 380", "wBusModules.imgImportExport_Click 53",
                                    "wBusModules.imgImportExport_Click 76"}));
    EXPECT_FALSE(gConfig->Modified());
    EXPECT_FALSE(QFile::exists(path("no-folder")));
    EXPECT_EQ(plat::Screen::MousePointer(), plat::Screen::vbDefault);
}
