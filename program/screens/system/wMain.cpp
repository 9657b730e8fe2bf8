#include "program/screens/system/wMain.h"

#include "Stillmark/_ActivityDetect.h"
#include "platform/Captions.h"
#include "platform/Clicks.h"
#include "platform/Forms.h"
#include "platform/Guard.h"
#include "platform/Help.h"
#include "platform/Icons.h"
#include "platform/Regional.h"
#include "platform/Screen.h"
#include "platform/ScreenParts.h"
#include "platform/SystemKeyboard.h"
#include "platform/Theme.h"
#include "program/bus/wPolling.h"
#include "program/core/Components.h"
#include "program/core/Config.h"
#include "program/core/ConfigClass.h"
#include "program/core/FormNames.h"
#include "program/core/Global.h"
#include "program/core/GlobalMain.h"
#include "program/core/GlobalMessage.h"
#include "program/core/Globals.h"
#include "program/core/IniKeys.h"
#include "program/core/LanguageGlobals.h"
#include "program/core/Login.h"
#include "program/core/PollingLink.h"
#include "program/core/TextIds.h"
#include "program/core/VEXfonctions.h"
#include "program/core/Version.h"
#include "program/screens/system/ConfigFileCommands.h"
#include "program/screens/system/LanguageHelp.h"
#include "program/screens/system/MainMenu.h"
#include "program/screens/system/MenuDialog.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QPointer>
#include <QTimer>

namespace {

constexpr int kWidth = 800;
constexpr int kHeight = 600;
constexpr int kTopBand = 80;
constexpr int kBottomBand = 488;
constexpr int kTileWidth = 232;
constexpr int kTileHeight = 160;
constexpr int kTileLeft = 28;
constexpr int kTileGapX = 24;
constexpr int kTileTop = 92;
constexpr int kTileGapY = 12;
constexpr int kCaptionWidth = kTileWidth - 16;
constexpr int kCaptionHeight = 56;
constexpr int kToolSize = 80;
constexpr int kShadowOffset = 2;
constexpr double kRescaledFontFactor = 0.9;
constexpr int kAboutEntry = 5;

// Label indexes.
constexpr int kLanguageCaption = 2;
constexpr int kHeading = 7;
constexpr int kTitle = 8;
constexpr int kVersionCaption = 9;
constexpr int kVersion = 10;

wMain::FileDialog& fileDialog()
{
    static wMain::FileDialog dialog;
    return dialog;
}

QString libraryFileDialog(QWidget* owner, const QString& filter, bool save, const QString& fileName,
                          const QString& folder)
{
    return Components::FilesPaths().GetFileName(owner, filter, save, false, fileName, folder, QString(), nullptr);
}

QLabel* newLabel(QWidget* parent, int pointSize, bool bold, const QColor& colour, Qt::Alignment alignment)
{
    auto* l = new QLabel(parent);
    l->setFont(plat::Theme::font(pointSize, bold));
    QPalette pal = l->palette();
    pal.setColor(QPalette::WindowText, colour);
    l->setPalette(pal);
    l->setAlignment(alignment);
    return l;
}

// The program's version without leading zeros, then the executable's date.
QString versionText()
{
    const QDateTime built = QFileInfo(QCoreApplication::applicationFilePath()).lastModified();
    return QStringLiteral("V.%1.%2.%3 - %4")
        .arg(Version::Major)
        .arg(Version::Minor)
        .arg(Version::Revision)
        .arg(built.date().toString(plat::Regional::shortDateFormat()));
}

QString lastUsed()
{
    return VEXfonctions::GetIni(IniKeys::Files, IniKeys::LastUsed, IniKeys::LastUsedDefault);
}

} // namespace

// ---- What the menu and the file commands ask of the window -----------------
// Both hold the window weakly: a screen torn down while one of their boxes
// waits (an alarm, the inactivity logout) leaves them nothing to touch.

class wMain::MenuLink : public MainMenu::Host {
public:
    explicit MenuLink(wMain* form) : m_form(form) {}

    bool AccessOk(int level) override { return Config::AccessOk(level); }
    bool AskPassword() override { return Config::AskPassword(); }
    void DoEvents() override { plat::Screen::DoEvents(); }
    void ShowLevel() override
    {
        if (alive())
            m_form->setLevelCaption();
    }
    bool IsAvailable(const QString& form) override { return plat::Forms::isRegistered(form); }
    int ShowMenuDialog(const QString& name) override
    {
        QPointer<plat::Form> dialog = plat::Forms::Get(name);
        dialog->Show(true, alive() ? m_form.data() : nullptr);
        int cmd = 0;
        if (auto* menu = qobject_cast<MenuDialog*>(dialog.data()); menu && !menu->IsUnloaded())
            cmd = menu->Cmd();
        plat::Forms::Unload(dialog);
        activated();
        return cmd;
    }
    void Open(const MainMenu::Target& target) override
    {
        plat::Form* screen = plat::Forms::Get(target.form);
        switch (target.opening) {
        case MainMenu::Opening::FullScreen:
            screen->Show();
            plat::Forms::Unload(m_form);
            break;
        case MainMenu::Opening::AlarmScreen:
            screen->Show();
            plat::Forms::UnloadAllExcept({FormNames::wPolling, target.form});
            break;
        case MainMenu::Opening::Modal:
        case MainMenu::Opening::ModalThenSave:
            screen->Show(true, alive() ? m_form.data() : nullptr);
            activated();
            break;
        }
    }
    void SaveIfModified() override
    {
        if (gConfig && gConfig->Modified())
            Config::SaveCurrentConfig();
        activated();
    }
    bool Loaded() override { return alive(); }

private:
    bool alive() const { return m_form && !m_form->IsUnloaded(); }
    // Back from a modal window: the marker follows the configuration.
    void activated()
    {
        if (alive())
            m_form->Form_Activate();
    }

    QPointer<wMain> m_form;
};

class wMain::FileLink : public ConfigFileCommands::Host {
public:
    explicit FileLink(wMain* form) : m_form(form) {}

    bool AccessOk(int level) override { return Config::AccessOk(level); }
    int Message(const QString& text, int style) override { return Global::Message(text, style); }
    void CriticalBox(const QString& text) override { Global::ShowCriticalBox(Global::AppTitle, text); }
    QString GetFileName(bool save, const QString& filter, const QString& fileName, const QString& folder) override
    {
        const wMain::FileDialog& dialog = fileDialog() ? fileDialog() : wMain::FileDialog(libraryFileDialog);
        return dialog(alive() ? m_form.data() : nullptr, filter, save, fileName, folder);
    }
    void StartKeyboard() override { plat::SystemKeyboard::start(); }
    void EndKeyboard() override { plat::SystemKeyboard::end(); }
    void ShowFileName(const QString& caption) override
    {
        if (alive())
            m_form->lblFileName->setText(caption);
    }
    void ShowModified(bool modified) override
    {
        if (alive())
            m_form->lblModified->setVisible(modified);
    }
    bool PollingRuns() override
    {
        PollingLink* engine = Polling::Loaded();
        return engine && engine->Run();
    }
    void ReinitComm() override
    {
        if (wPolling* engine = polling())
            engine->ReinitComm();
    }
    Stillmark::_ActivityDetect* Detector() override
    {
        wPolling* engine = polling();
        return engine ? engine->UserSleep().get() : nullptr;
    }
    void SendStopEvent() override
    {
        if (PollingLink* engine = Polling::Loaded())
            engine->SendStationEvent(Polling::StationEvent::ProgramStop);
    }
    void StopPolling() override
    {
        if (PollingLink* engine = Polling::Loaded())
            engine->setRun(false);
    }
    void EndRun() override
    {
        // The engine first: it closes the port and keeps the queued commands.
        while (Global::NbInstances(FormNames::wPolling) >= 1) {
            if (!plat::Forms::Unload(plat::Forms::Find(FormNames::wPolling)))
                break;
            plat::Screen::DoEvents();
        }
        for (plat::Form* f : plat::Forms::All())
            if (f != m_form)
                plat::Forms::Unload(f);
        plat::Forms::Unload(m_form);
        Global::EndProgram();
    }

private:
    bool alive() const { return m_form && !m_form->IsUnloaded(); }
    static wPolling* polling() { return qobject_cast<wPolling*>(plat::Forms::Find(FormNames::wPolling)); }

    QPointer<wMain> m_form;
};

struct wMain::Links {
    explicit Links(wMain* form) : menuLink(form), fileLink(form), menu(menuLink), files(fileLink) {}
    MenuLink menuLink;
    FileLink fileLink;
    MainMenu menu;
    ConfigFileCommands files;
};

// ---- The window -------------------------------------------------------------

void wMain::setFileDialog(FileDialog dialog)
{
    fileDialog() = std::move(dialog);
}

wMain::wMain() : plat::Form(FormNames::wMain), m_links(std::make_shared<Links>(this))
{
    setMinimumSize(kWidth, kHeight);
    resize(kWidth, kHeight);
    // The title band, and the dark band of the login, language and file buttons.
    plat::ScreenParts::state(this, {plat::Theme::window(),
                                    {{0, kTopBand, plat::Theme::accent()},
                                     {kBottomBand, plat::ScreenParts::Band::ToBottom, plat::Theme::text()}}});
    buildControls();
}

wMain::~wMain() = default;

void wMain::buildControls()
{
    const QColor white(Qt::white);
    const QColor ink = plat::Theme::text();

    auto* title = lblLabels.add(kTitle, newLabel(this, 22, true, white, Qt::AlignLeft | Qt::AlignVCenter));
    // The title above the heading, both left of the version.
    title->setGeometry(24, 8, 412, 38);
    plat::setTag(title, 100000);
    auto* heading = lblLabels.add(kHeading, newLabel(this, 12, false, white, Qt::AlignLeft | Qt::AlignVCenter));
    heading->setGeometry(24, 46, 412, 28);
    plat::setTag(heading, 0);
    auto* versionCaption =
        lblLabels.add(kVersionCaption, newLabel(this, 10, false, white, Qt::AlignRight | Qt::AlignVCenter));
    versionCaption->setGeometry(480, 12, 296, 24);
    plat::setTag(versionCaption, 100120);
    auto* version = lblLabels.add(kVersion, newLabel(this, 12, true, white, Qt::AlignRight | Qt::AlignVCenter));
    version->setGeometry(440, 40, 336, 28);

    // The tile pictures fit the tile less the button's frame and margin.
    const char* const tiles[MenuCount] = {"tile-busmodules", "tile-parameters", "tile-system",
                                          "tile-alarms",     "tile-technician", "tile-about"};
    for (int i = 0; i < MenuCount; ++i) {
        auto* tile = imgMenu.add(i, new plat::PictureButton(this));
        tile->setSvg(plat::Icons::svg(QLatin1String(tiles[i])));
        tile->setGeometry(kTileLeft + (i % 3) * (kTileWidth + kTileGapX), kTileTop + (i / 3) * (kTileHeight + kTileGapY),
                          kTileWidth, kTileHeight);
        connect(tile, &QAbstractButton::clicked, this, [this, i] { imgMenu_Click(i); });
        auto* caption = lblMenu.add(i, newLabel(this, 16, true, white, Qt::AlignCenter));
        caption->setWordWrap(true);
        caption->resize(kCaptionWidth, kCaptionHeight);
    }
    plat::setTag(lblMenu(0), 100200);
    plat::setTag(lblMenu(1), 100210);
    plat::setTag(lblMenu(2), 100220);
    plat::setTag(lblMenu(3), 100230);
    plat::setTag(lblMenu(4), 100240);
    plat::setTag(lblMenu(5), 100250);

    lblFileName = newLabel(this, 16, true, ink, Qt::AlignLeft | Qt::AlignVCenter);
    lblFileName->setObjectName(QStringLiteral("lblFileName"));
    lblFileName->setGeometry(28, 430, 560, 30);
    lblModified = newLabel(this, 12, true, plat::Theme::accent(), Qt::AlignLeft | Qt::AlignVCenter);
    lblModified->setObjectName(QStringLiteral("lblModified"));
    lblModified->setGeometry(28, 460, 400, 24);
    plat::setTag(lblModified, 100001);
    lblModified->hide();

    auto* login = imgNavig.add(NavigLogin, new plat::PictureButton(this));
    login->setSvg(plat::Icons::svg(QStringLiteral("login")));
    login->setGeometry(20, 500, 88, 88);
    auto* level = lblLogin.add(0, newLabel(this, 30, true, white, Qt::AlignCenter));
    level->setGeometry(112, 508, 40, 72);
    auto* levelShadow = lblLogin.add(1, newLabel(this, 30, true, Qt::black, Qt::AlignCenter));
    levelShadow->setGeometry(level->geometry().translated(kShadowOffset, kShadowOffset));
    levelShadow->stackUnder(level);
    plat::markShadow(levelShadow, level);

    imgLanguage = new plat::PictureButton(this);
    imgLanguage->setObjectName(QStringLiteral("imgLanguage"));
    imgLanguage->setSvg(plat::Icons::svg(QStringLiteral("language")));
    imgLanguage->setGeometry(168, 500, 88, 88);
    connect(imgLanguage, &QAbstractButton::clicked, this, [this] { imgLanguage_Click(); });
    auto* languageCaption =
        lblLabels.add(kLanguageCaption, newLabel(this, 11, false, white, Qt::AlignLeft | Qt::AlignVCenter));
    languageCaption->setGeometry(264, 506, 170, 24);
    plat::setTag(languageCaption, 100110);
    auto* language = lblLanguage.add(0, newLabel(this, 16, true, white, Qt::AlignLeft | Qt::AlignVCenter));
    language->setGeometry(264, 532, 170, 40);

    lstLanguage = new QListWidget(this);
    lstLanguage->setObjectName(QStringLiteral("lstLanguage"));
    lstLanguage->setFont(plat::Theme::font(16, true));
    lstLanguage->setGeometry(168, 372, 266, 112);
    lstLanguage->hide();
    lstLanguage->installEventFilter(this);
    connect(lstLanguage, &QListWidget::itemClicked, this, [this] { lstLanguage_Click(); });

    struct Tool {
        int index;
        const char* icon;
        int left;
    };
    for (const Tool& t : {Tool{NavigNew, "new", 442}, Tool{NavigOpen, "open", 528}, Tool{NavigSaveAs, "saveas", 614},
                          Tool{NavigQuit, "quit", 700}}) {
        auto* b = imgNavig.add(t.index, new plat::PictureButton(this));
        b->setSvg(plat::Icons::svg(QLatin1String(t.icon)));
        b->setGeometry(t.left, 504, kToolSize, kToolSize);
    }
    for (const auto& [index, button] : imgNavig) {
        const int i = index;
        connect(button, &QAbstractButton::clicked, this, [this, i] { imgNavig_Click(i); });
    }
}

void wMain::Form_Load()
{
    plat::guard(QStringLiteral("wMain.Form_Load"), [&] {
        lblLabels(kVersion)->setText(versionText());
        Global::OmbrerTexte(lblLabels, kShadowOffset, kShadowOffset);
        Global::OmbrerTexte(lblMenu, kShadowOffset, kShadowOffset);
        Global::OmbrerTexte(lblLanguage, kShadowOffset, kShadowOffset);
        // A caption, and its shadow, acts as its button.
        for (const auto& [index, label] : lblMenu)
            plat::forwardClicks(label, imgMenu(index % MenuCount));
        for (const auto& [index, label] : lblLanguage)
            plat::forwardClicks(label, imgLanguage);
        for (const auto& [index, label] : lblLogin)
            plat::forwardClicks(label, imgNavig(NavigLogin));

        // Selecting the language in use runs the language change.
        for (int i = 0;; ++i) {
            const QString name = Config::GetLanguage(i);
            if (name.isEmpty())
                break;
            auto* item = new QListWidgetItem(name, lstLanguage);
            item->setData(Qt::UserRole, i);
            if (i == gLanguage)
                selectLanguage(i);
        }

        Nationality();
        setLevelCaption();
        for (int i = 0; i < MenuCount; ++i)
            imgMenu(i)->setEnabled(i == kAboutEntry || m_links->menu.EntryAvailable(i));

        if (Global::MiseAEchelle(this)) {
            for (QLabel* label : findChildren<QLabel*>()) {
                QFont f = label->font();
                f.setPointSizeF(f.pointSizeF() * kRescaledFontFactor);
                label->setFont(f);
            }
        }

        Show();
        // With no file in use the caption keeps the unnamed configuration's text.
        if (const QString last = lastUsed(); !last.isEmpty())
            lblFileName->setText(ConfigFileCommands::FileTitle(last));

        for (plat::Form* f : plat::Forms::Screens())
            if (f != this && f->Name() != FormNames::wPolling)
                plat::Forms::Unload(f);
        plat::Forms::Get(FormNames::wPolling)->Hide();
    });
}

void wMain::Nationality()
{
    plat::applyCaptions(this);
    AligneMenus();
    if (lastUsed().isEmpty())
        lblFileName->setText(Config::GetText(TextIds::Unnamed));
    LanguageGlobals::SetLetters();
}

void wMain::AligneMenus()
{
    const int buttons = imgMenu.count();
    for (int i = 0; i < buttons; ++i) {
        QLabel* caption = lblMenu(i);
        QRect r = caption->geometry();
        r.moveCenter(imgMenu(i)->geometry().center());
        caption->setGeometry(r);
        if (lblMenu.exists(i + buttons))
            lblMenu(i + buttons)->setGeometry(r.translated(kShadowOffset, kShadowOffset));
    }
}

void wMain::Form_Activate()
{
    lblModified->setVisible(gConfig && gConfig->Modified());
}

bool wMain::Form_QueryUnload(plat::UnloadMode mode)
{
    // The window's close box quits as the quit button does, once the close
    // event is over; the window stays unless the quit goes through.
    if (mode == plat::vbFormControlMenu) {
        runQuitFromCloseBox();
        return true;
    }
    return false;
}

void wMain::runQuitFromCloseBox()
{
    QTimer::singleShot(0, this, [this] {
        if (!IsUnloaded())
            imgNavig_Click(NavigQuit);
    });
}

void wMain::Form_KeyDown(int keyCode, int)
{
    plat::guard(QStringLiteral("wMain.Form_KeyDown"), [&] {
        if (keyCode == Qt::Key_F12)
            plat::SystemKeyboard::start();
    });
}

void wMain::imgMenu_Click(int index)
{
    plat::guard(QStringLiteral("wMain.imgMenu_Click"), [&] {
        // The menu outlives the window while it runs: a screen it opens may unload it.
        const std::shared_ptr<Links> links = m_links;
        links->menu.Click(index);
    });
}

void wMain::imgNavig_Click(int index)
{
    plat::guard(QStringLiteral("wMain.imgNavig_Click"), [&] {
        const std::shared_ptr<Links> links = m_links;
        switch (index) {
        case NavigSaveAs:
            links->files.SaveAs();
            break;
        case NavigOpen:
            links->files.Open();
            break;
        case NavigQuit:
            links->files.Quit();
            break;
        case NavigNew:
            links->files.New();
            break;
        case NavigLogin:
            Config::AskPassword();
            if (!IsUnloaded())
                setLevelCaption();
            break;
        default:
            break;
        }
    });
}

void wMain::setLevelCaption()
{
    lblLogin(0)->setText(QString::number(gUserLevel));
    lblLogin_Change(0);
}

void wMain::lblLogin_Change(int index)
{
    if (index == 0)
        lblLogin(1)->setText(lblLogin(0)->text());
}

void wMain::selectLanguage(int row)
{
    if (row == lstLanguage->currentRow())
        return;
    lstLanguage->setCurrentRow(row);
    lstLanguage_Click();
}

void wMain::imgLanguage_Click()
{
    plat::guard(QStringLiteral("wMain.imgLanguage_Click"), [&] {
        const QString shown = lblLanguage(0)->text();
        for (int i = 0; i < lstLanguage->count(); ++i)
            if (lstLanguage->item(i)->text() == shown) {
                selectLanguage(i);
                break;
            }
        if (lstLanguage->count() > 0)
            selectLanguage((lstLanguage->currentRow() + 1) % lstLanguage->count());
    });
}

void wMain::lstLanguage_Click()
{
    plat::guard(QStringLiteral("wMain.lstLanguage_Click"), [&] {
        QListWidgetItem* item = lstLanguage->currentItem();
        if (!item)
            return;
        const QString name = item->text();
        for (const auto& [index, label] : lblLanguage)
            label->setText(name);
        lstLanguage_LostFocus();
        gLanguage = item->data(Qt::UserRole).toInt();
        LanguageGlobals::SetNoChannelText();
        plat::Help::setHelpFile(LanguageHelp::FileFor(name, Config::GetLanguage(0)));
        Nationality();
        VEXfonctions::SetIni(IniKeys::General, IniKeys::Language, QString::number(gLanguage));
    });
}

void wMain::lstLanguage_LostFocus()
{
    lstLanguage->hide();
    imgLanguage->show();
    for (const auto& [index, label] : lblLanguage)
        label->show();
}

bool wMain::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == lstLanguage && event->type() == QEvent::FocusOut) {
        lstLanguage_LostFocus();
        return false;
    }
    return plat::Form::eventFilter(watched, event);
}

void wMain::keyPressEvent(QKeyEvent* event)
{
    Form_KeyDown(event->key(), int(event->modifiers()));
    plat::Form::keyPressEvent(event);
}

bool wMain::event(QEvent* event)
{
    // Back from a modal window or another program.
    if (event->type() == QEvent::WindowActivate && !IsUnloaded())
        Form_Activate();
    return plat::Form::event(event);
}

void wMain::paintEvent(QPaintEvent*)
{
    plat::ScreenParts::paint(this);
}
