#include "program/core/StandInMain.h"

#include "platform/Captions.h"
#include "platform/Forms.h"
#include "platform/Guard.h"
#include "platform/Theme.h"
#include "program/core/Config.h"
#include "program/core/ConfigClass.h"
#include "program/core/GlobalMain.h"
#include "program/core/Globals.h"
#include "program/core/IniKeys.h"
#include "program/core/Login.h"
#include "program/core/VEXfonctions.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QLabel>
#include <QPainter>
#include <QTimer>

namespace {

constexpr int kWidth = 800;
constexpr int kHeight = 600;
constexpr int kBand = 64;
constexpr int kTitleText = 100000;
constexpr int kHeadingText = 0;
constexpr int kModifiedText = 100001;
constexpr int kUnnamedText = 50010;
constexpr int kLettersText = 50011;
constexpr int kMirrorLettersText = 50012;
constexpr int kNoChannelText = 10100;

QByteArray svg(const QByteArray& body)
{
    return "<svg xmlns='http://www.w3.org/2000/svg' width='48' height='48' viewBox='0 0 48 48'>" + body + "</svg>";
}

// A key for the login, a power symbol for the quit.
QByteArray loginIcon()
{
    const QByteArray ink = plat::Theme::accent().name().toLatin1();
    return svg("<circle cx='16' cy='24' r='9' fill='none' stroke='" + ink + "' stroke-width='5'/>"
               "<path d='M25 24 L42 24 M36 24 L36 32 M42 24 L42 31' fill='none' stroke='" + ink
               + "' stroke-width='5' stroke-linecap='round'/>");
}

QByteArray quitIcon()
{
    const QByteArray ink = plat::Theme::text().name().toLatin1();
    return svg("<path d='M16 12 A15 15 0 1 0 32 12' fill='none' stroke='" + ink
               + "' stroke-width='5' stroke-linecap='round'/>"
                 "<path d='M24 6 L24 24' fill='none' stroke='" + ink + "' stroke-width='5' stroke-linecap='round'/>");
}

} // namespace

void StandInMain::registerForm()
{
    plat::Forms::registerForm(FormName, [] { return new StandInMain; });
}

StandInMain::StandInMain() : plat::Form(FormName)
{
    // A full screen of the 800 x 600 panel.
    setMinimumSize(kWidth, kHeight);
    resize(kWidth, kHeight);

    auto* title = lblLabels.add(8, new QLabel(this));
    title->setFont(plat::Theme::font(20, true));
    title->setStyleSheet(QStringLiteral("color: white;"));
    title->setGeometry(24, 0, kWidth - 48, kBand);
    plat::setTag(title, kTitleText);

    auto* heading = lblLabels.add(7, new QLabel(this));
    heading->setFont(plat::Theme::font(18, false));
    heading->setAlignment(Qt::AlignCenter);
    heading->setGeometry(24, 140, kWidth - 48, 48);
    plat::setTag(heading, kHeadingText);

    lblFileName = new QLabel(this);
    lblFileName->setObjectName(QStringLiteral("lblFileName"));
    lblFileName->setFont(plat::Theme::font(16, true));
    lblFileName->setAlignment(Qt::AlignCenter);
    lblFileName->setGeometry(24, 220, kWidth - 48, 40);

    lblModified = new QLabel(this);
    lblModified->setObjectName(QStringLiteral("lblModified"));
    lblModified->setFont(plat::Theme::font(12, false));
    lblModified->setAlignment(Qt::AlignCenter);
    lblModified->setStyleSheet(QStringLiteral("color: %1;").arg(plat::Theme::accent().name()));
    lblModified->setGeometry(24, 262, kWidth - 48, 28);
    plat::setTag(lblModified, kModifiedText);

    auto* login = imgNavig.add(NavigLogin, new plat::PictureButton(this));
    login->setSvg(loginIcon());
    login->setGeometry(24, kHeight - 120, 96, 96);
    auto* level = lblLogin.add(0, new QLabel(login));
    level->setFont(plat::Theme::font(14, true));
    level->setAlignment(Qt::AlignRight | Qt::AlignBottom);
    level->setGeometry(0, 0, 88, 90);
    level->setAttribute(Qt::WA_TransparentForMouseEvents);

    auto* quit = imgNavig.add(NavigQuit, new plat::PictureButton(this));
    quit->setSvg(quitIcon());
    quit->setGeometry(kWidth - 120, kHeight - 120, 96, 96);

    for (int index : {NavigLogin, NavigQuit})
        connect(imgNavig(index), &QAbstractButton::clicked, this, [this, index] { imgNavig_Click(index); });
}

void StandInMain::Form_Load()
{
    plat::guard(QStringLiteral("wMain.Form_Load"), [&] {
        gNoChannelText = Config::GetText(kNoChannelText);
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
        lblFileName->setText(Config::GetText(kUnnamedText));
    const QString letters = Config::GetText(kLettersText);
    gPanelLetter = letters.left(1);
    gChannelLetter = letters.mid(1, 1);
    gMirrorTypeLetters = Config::GetText(kMirrorLettersText);
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

void StandInMain::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.fillRect(rect(), plat::Theme::window());
    p.fillRect(QRect(0, 0, width(), kBand), plat::Theme::accent());
}
