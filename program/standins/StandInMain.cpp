#include "program/standins/StandInMain.h"

#include "platform/Captions.h"
#include "platform/Forms.h"
#include "platform/Guard.h"
#include "platform/Icons.h"
#include "platform/Theme.h"
#include "program/core/Config.h"
#include "program/core/ConfigClass.h"
#include "program/core/FormNames.h"
#include "program/core/GlobalMain.h"
#include "program/core/Globals.h"
#include "program/core/IniKeys.h"
#include "program/core/LanguageGlobals.h"
#include "program/core/Login.h"
#include "program/core/TextIds.h"
#include "program/core/VEXfonctions.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QLabel>
#include <QTimer>

StandInMain::StandInMain() : StandInScreen(FormNames::wMain)
{
    QLabel* title = lblLabels.add(8, newTitle());
    plat::setTag(title, 100000);

    auto* heading = lblLabels.add(7, new QLabel(this));
    heading->setFont(plat::Theme::font(18, false));
    heading->setAlignment(Qt::AlignCenter);
    heading->setGeometry(24, 140, Width - 48, 48);
    plat::setTag(heading, 0);

    lblFileName = new QLabel(this);
    lblFileName->setObjectName(QStringLiteral("lblFileName"));
    lblFileName->setFont(plat::Theme::font(16, true));
    lblFileName->setAlignment(Qt::AlignCenter);
    lblFileName->setGeometry(24, 220, Width - 48, 40);

    lblModified = new QLabel(this);
    lblModified->setObjectName(QStringLiteral("lblModified"));
    lblModified->setFont(plat::Theme::font(12, false));
    lblModified->setAlignment(Qt::AlignCenter);
    lblModified->setStyleSheet(QStringLiteral("color: %1;").arg(plat::Theme::accent().name()));
    lblModified->setGeometry(24, 262, Width - 48, 28);
    plat::setTag(lblModified, 100001);

    auto* login = imgNavig.add(NavigLogin, new plat::PictureButton(this));
    login->setSvg(plat::Icons::svg(QStringLiteral("login")));
    login->setGeometry(24, Height - 120, 96, 96);
    auto* level = lblLogin.add(0, new QLabel(login));
    level->setFont(plat::Theme::font(14, true));
    level->setAlignment(Qt::AlignRight | Qt::AlignBottom);
    level->setGeometry(0, 0, 88, 90);
    level->setAttribute(Qt::WA_TransparentForMouseEvents);

    auto* quit = imgNavig.add(NavigQuit, new plat::PictureButton(this));
    quit->setSvg(plat::Icons::svg(QStringLiteral("quit")));
    quit->setGeometry(Width - 120, Height - 120, 96, 96);

    for (int index : {NavigLogin, NavigQuit})
        connect(imgNavig(index), &QAbstractButton::clicked, this, [this, index] { imgNavig_Click(index); });
}

void StandInMain::Form_Load()
{
    plat::guard(QStringLiteral("wMain.Form_Load"), [&] {
        LanguageGlobals::SetNoChannelText();
        Nationality();
        lblLogin(0)->setText(QString::number(gUserLevel));
        const QString lastUsed = VEXfonctions::GetIni(IniKeys::Files, IniKeys::LastUsed, IniKeys::LastUsedDefault);
        if (!lastUsed.isEmpty())
            lblFileName->setText(QFileInfo(lastUsed).completeBaseName());
    });
}

void StandInMain::Nationality()
{
    plat::applyCaptions(this);
    if (VEXfonctions::GetIni(IniKeys::Files, IniKeys::LastUsed, IniKeys::LastUsedDefault).isEmpty())
        lblFileName->setText(Config::GetText(TextIds::Unnamed));
    LanguageGlobals::SetLetters();
}

void StandInMain::Form_Activate()
{
    lblModified->setVisible(gConfig && gConfig->Modified());
}

bool StandInMain::Form_QueryUnload(plat::UnloadMode mode)
{
    // The window's close box ends the program, once the close event is over.
    if (mode == plat::vbFormControlMenu) {
        QTimer::singleShot(0, QCoreApplication::instance(), [] { Global::EndProgram(); });
        return true;
    }
    return false;
}

void StandInMain::imgNavig_Click(int index)
{
    plat::guard(QStringLiteral("wMain.imgNavig_Click"), [&] {
        if (index == NavigLogin) {
            Config::AskPassword();
            lblLogin(0)->setText(QString::number(gUserLevel));
        } else if (index == NavigQuit) {
            Global::EndProgram();
        }
    });
}
