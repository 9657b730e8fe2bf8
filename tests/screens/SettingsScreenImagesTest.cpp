// The sound and history settings, the user editor and the two text editors
// rendered to PNG in every language (<build>/screenshots/<form>-<en|fr|de>.png)
// for a person to look at: each in a typical state, and the text editors
// also on a fresh configuration (<form>-fresh-<lang>.png).

#include "program/screens/system/dlgDefPwds.h"
#include "program/screens/system/wParamBiblio.h"
#include "program/screens/system/wParamConsignes.h"
#include "program/screens/system/wSysConfSon.h"
#include "tests/screens/SettingsFixture.h"

#include <QImage>

namespace {

const char* const kLanguages[] = {"en", "fr", "de"};

class SettingsImages : public SettingsFixture {
protected:
    static void typical()
    {
        gConfig->setUserCount(3);
        gConfig->setUserName(3, "Operator");
        gConfig->setUserPwd(3, "1111");
        gConfig->setUserLevel(3, 1);
        gUserLevel = 3;
        gConfig->setBiblio(1, "Fire alarm");
        gConfig->setBiblio(2, "Smoke detector");
        gConfig->setBiblio(3, "Gas leak");
        gConfig->setConsigne(1, "Call the fire brigade (112).\r\nOpen the main gate and wait for them there.");
        gConfig->setConsigne(2, "Close the gas valve in the boiler room.");
        VEXfonctions::SetIni("Files", "PeriodLimit", "1");
        VEXfonctions::SetIni("Files", "PeriodTime", "12");
    }

    void render(const QString& form, const QString& name)
    {
        plat::Form* f = plat::Forms::Get(form);
        f->Show();
        settle();
        const QString png = testing_support::renderToPng(f, name);
        EXPECT_FALSE(QImage(png).isNull()) << png.toStdString();
        plat::Forms::Unload(f);
        settle();
    }
};

TEST_F(SettingsImages, RendersEachScreenInEveryLanguage)
{
    for (int language = 0; language < 3; ++language) {
        SCOPED_TRACE(kLanguages[language]);
        gLanguage = language;
        ReplaceConfig(std::make_unique<ConfigClass>());
        for (const QString& form : {FormNames::wParamBiblio, FormNames::wParamConsignes})
            render(form, QString("%1-fresh-%2").arg(form, kLanguages[language]));
        typical();
        for (const QString& form :
             {FormNames::wSysConfSon, FormNames::dlgDefPwds, FormNames::wParamBiblio, FormNames::wParamConsignes})
            render(form, QString("%1-%2").arg(form, kLanguages[language]));
    }
    EXPECT_TRUE(reports.isEmpty()) << reports.join("; ").toStdString();
}

} // namespace
