// The module copy dialog and a refused channel table import, each over the
// bus overview as the technician sees them, rendered to PNG in every
// language (<build>/screenshots/dlgBusCopy-<en|fr|de>.png and
// ImportRefused-<en|fr|de>.png), for a person to look at.

#include "platform/Cp1252.h"
#include "program/core/ErrorHandling.h"
#include "program/core/PanelClass.h"
#include "program/core/dlgMessage.h"
#include "program/screens/bus/dlgBusCopy.h"
#include "tests/screens/BusScreensFixture.h"

#include <QImage>
#include <QPainter>

#include <optional>

namespace {

const char* const kLanguages[] = {"en", "fr", "de"};

using BusCopyImages = BusScreensFixture;

// The screen with a window over it, centred, as <name>.png.
QString renderOver(QWidget* screen, QWidget* over, const QString& name)
{
    const QString file = testing_support::renderToPng(screen, name);
    QImage image(file);
    QPainter p(&image);
    p.drawPixmap((screen->width() - over->width()) / 2, (screen->height() - over->height()) / 2, over->grab());
    p.end();
    image.save(file);
    return file;
}

} // namespace

TEST_F(BusCopyImages, TheCopyDialogAndAnImportRefusalOverTheOverviewInEveryLanguage)
{
    for (int m : {1, 2, 3, 5}) {
        gConfig->Panel(int16_t(m))->setModel(m == 2 ? 2 : 1);
        gConfig->Panel(int16_t(m))->setActive(true);
        gConfig->Panel(int16_t(m))->setTitle(QString("Hall %1|West").arg(m));
    }
    const QString bad = testing_support::programFolder() + "/bad.txt";
    QFile f(bad);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(plat::Cp1252::encode("Pnl\tChnl\r\n 5 \t 7 \t 1 \t 0 \t 2 \t 1 \t 120 \t 0 \t 3 \t 4 \t 1 \t 6 \tA\tB\t\r\n"));
    f.close();
    for (int language = 0; language < 3; ++language) {
        SCOPED_TRACE(kLanguages[language]);
        gLanguage = language;
        wBusModules* modules = showOverview();

        QString copy;
        whenModal(FormNames::dlgBusCopy, [&](plat::Form* form) {
            auto* d = qobject_cast<dlgBusCopy*>(form);
            d->lblPanelNo(dlgBusCopy::Source)->setCaption("3");
            d->lblPanelNo(dlgBusCopy::Target)->setCaption("7");
            copy = renderOver(modules, d, QString("dlgBusCopy-%1").arg(kLanguages[language]));
            plat::Forms::Unload(d);
        });
        modules->imgCopyPanel_Click();
        EXPECT_FALSE(QImage(copy).isNull());

        // The refusal as the error report shows it.
        QString name;
        std::optional<plat::RtError> error;
        plat::setErrorReporter([&](const QString& n, const plat::RtError& e) {
            name = n;
            error = e;
        });
        fileAnswers = {bad};
        modules->imgImportExport_Click(wBusModules::ChannelTableImport);
        ASSERT_TRUE(error);
        EXPECT_EQ(name, "wBusModules.imgImportExport_Click");
        auto* box = qobject_cast<dlgMessage*>(plat::Forms::Get(FormNames::dlgMessage));
        box->setMessage(ErrorHandling::ErrorText(name, error->number(), error->description()));
        box->setButtons(MsgStyle::vbCritical);
        const QString refusal = renderOver(modules, box, QString("ImportRefused-%1").arg(kLanguages[language]));
        EXPECT_FALSE(QImage(refusal).isNull());
        plat::Forms::Unload(box);
        plat::Forms::Unload(modules);
        settle();
    }
}
