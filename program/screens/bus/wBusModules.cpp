#include "program/screens/bus/wBusModules.h"

#include "platform/Captions.h"
#include "platform/Clicks.h"
#include "platform/Forms.h"
#include "platform/Guard.h"
#include "platform/RtError.h"
#include "platform/Screen.h"
#include "platform/ScreenLook.h"
#include "platform/SystemKeyboard.h"
#include "program/core/Components.h"
#include "program/core/Config.h"
#include "program/core/ConfigClass.h"
#include "program/core/FormNames.h"
#include "program/core/Global.h"
#include "program/core/Globals.h"
#include "program/core/IniKeys.h"
#include "program/core/VEXfonctions.h"
#include "program/runtime/LampRows.h"
#include "program/screens/bus/BusLook.h"
#include "program/screens/bus/BusPage.h"
#include "program/screens/bus/BusScreens.h"
#include "program/screens/bus/ChannelTable.h"
#include "program/screens/bus/wBusPanneau.h"
#include "program/screens/system/ScreenExits.h"

#include <QKeyEvent>
#include <QLabel>

namespace {

using namespace plat::ScreenLook;

constexpr int kWidth = ScreenWidth;
constexpr int kHeight = ScreenHeight;

// Tile 0; the others follow it by its own width and height.
constexpr int kTileLeft = 16;
constexpr int kTileTop = 70;
constexpr int kTileWidth = 192;
constexpr int kTileHeight = 115;

// The bar below the tiles.
constexpr int kBarTop = kTileTop + BusPage::Rows * kTileHeight + 8;
constexpr int kButton = 64;
constexpr int kButtonHeight = kHeight - kBarTop - 8;

wBusModules::FileDialog& fileDialog()
{
    static wBusModules::FileDialog dialog;
    if (!dialog)
        dialog = [](QWidget* owner, const QString& filter, bool save) {
            return Components::FilesPaths().GetFileName(owner, filter, save);
        };
    return dialog;
}

} // namespace

void wBusModules::setFileDialog(FileDialog dialog)
{
    fileDialog() = std::move(dialog);
}

wBusModules::wBusModules() : plat::Form(FormNames::wBusModules)
{
    setFixedSize(kWidth, kHeight);
    plat::ScreenParts::state(this, plat::ScreenLook::screenParts());

    imgBackPicture = new QLabel(this);
    imgBackPicture->setObjectName(QStringLiteral("imgBackPicture"));
    imgBackPicture->setGeometry(rect());
    imgBackPicture->lower();

    lblLabels = bandLabel(this, 20, {24, 0, kWidth - 48, Band});
    lblLabels->setObjectName(QStringLiteral("lblLabels"));
    plat::setTag(lblLabels, 200100);

    buildTileZero();
    buildBar();
}

void wBusModules::buildTileZero()
{
    auto* tile = imgPanneau.add(0, new plat::PictureButton(this));
    tile->setFocusPolicy(Qt::NoFocus);
    tile->setGeometry(kTileLeft, kTileTop, kTileWidth, kTileHeight);

    auto* cross = imgCroix.add(0, new QLabel(this));
    cross->setGeometry(tile->geometry());
    cross->setPixmap(BusLook::cross(tile->size()));

    auto* number = lblNumPan.add(0, label(this, 16, true, Qt::AlignLeft | Qt::AlignVCenter));
    number->setGeometry(kTileLeft + 12, kTileTop + 6, 56, 30);

    auto* model = lblTypePan.add(0, label(this, 11, false, Qt::AlignRight | Qt::AlignVCenter));
    model->setGeometry(kTileLeft + 68, kTileTop + 6, kTileWidth - 80, 30);

    auto* title = lblLblPan.add(0, label(this, 11, true, Qt::AlignCenter));
    title->setWordWrap(true);
    plat::markValue(title);
    title->setGeometry(kTileLeft + 9, kTileTop + 40, kTileWidth - 18, kTileHeight - 49);
}

void wBusModules::buildBar()
{
    const int top = kBarTop;
    imgNavig.add(NavigLeave, button(this, "leave", {16, top, kButton, kButtonHeight}));
    imgNavig.add(NavigPreviousPage,
                 button(this, "previous", {112, top, kButton, kButtonHeight}));
    imgNavig.add(NavigNextPage, button(this, "next", {184, top, kButton, kButtonHeight}));
    // 3 and 4 have no action of their own on this screen.
    for (int i : {3, 4}) {
        auto* b = imgNavig.add(i, button(this, "next", {0, top, kButton, kButtonHeight}));
        b->hide();
    }

    imgImportExport.add(0, button(this, "import", {392, top, kButton, kButtonHeight}));
    imgImportExport.add(1, button(this, "export", {464, top, kButton, kButtonHeight}));
    imgCopyPanel = button(this, "copymodule", {536, top, kButton, kButtonHeight});
    imgCopyPanel->setObjectName(QStringLiteral("imgCopyPanel"));
    imgMiroirs = button(this, "mirrors", {616, top, kButton, kButtonHeight});
    imgMiroirs->setObjectName(QStringLiteral("imgMiroirs"));
    lblMiroirs = label(this, 12, true, Qt::AlignLeft | Qt::AlignVCenter);
    lblMiroirs->setObjectName(QStringLiteral("lblMiroirs"));
    lblMiroirs->setGeometry(616 + kButton + 6, top, kWidth - 16 - (616 + kButton + 6), kButtonHeight);
    plat::setTag(lblMiroirs, 200110);

    for (const auto& [index, button] : imgNavig) {
        const int i = index;
        connect(button, &QAbstractButton::clicked, this, [this, i] { imgNavig_Click(i); });
    }
    for (int i : {0, 1})
        connect(imgImportExport(i), &QAbstractButton::clicked, this, [this, i] { imgImportExport_Click(i); });
    connect(imgCopyPanel, &QAbstractButton::clicked, this, [this] { imgCopyPanel_Click(); });
    connect(imgMiroirs, &QAbstractButton::clicked, this, [this] { imgMiroirs_Click(); });
    plat::forwardClicks(lblMiroirs, imgMiroirs);
}

void wBusModules::makeTiles()
{
    const int w = imgPanneau(0)->width();
    const int h = imgPanneau(0)->height();
    auto place = [&](QWidget* element, QWidget* element0, int i) {
        element->move(element0->x() + (i % BusPage::Columns) * w, element0->y() + (i / BusPage::Columns) * h);
        element->setVisible(true);
    };
    for (int i = 1; i < BusPage::Tiles; ++i) {
        auto* tile = imgPanneau.load(i, [](plat::PictureButton* e0) {
            auto* b = new plat::PictureButton(e0->parentWidget());
            b->setFocusPolicy(e0->focusPolicy());
            b->setGeometry(e0->geometry());
            return b;
        });
        place(tile, imgPanneau(0), i);
    }
    for (int i = 1; i < BusPage::Tiles; ++i) {
        auto* cross = imgCroix.load(i, [](QLabel* e0) {
            auto* l = LampRows::copyLabel(e0);
            l->setPixmap(e0->pixmap());
            return l;
        });
        place(cross, imgCroix(0), i);
    }
    for (auto* labels : {&lblNumPan, &lblTypePan, &lblLblPan})
        for (int i = 1; i < BusPage::Tiles; ++i) {
            auto* l = labels->load(i, LampRows::copyLabel);
            place(l, labels->item(0), i);
        }
    // Captions above the tiles and their crosses.
    for (auto* labels : {&lblNumPan, &lblTypePan, &lblLblPan})
        for (const auto& [i, l] : *labels)
            l->raise();
    for (int i = 0; i < BusPage::Tiles; ++i)
        connectTile(i);
}

void wBusModules::connectTile(int i)
{
    connect(imgPanneau(i), &QAbstractButton::clicked, this, [this, i] { imgPanneau_Click(i); });
    // Touching the cross or a caption touches the tile.
    for (QWidget* over : {static_cast<QWidget*>(imgCroix(i)), static_cast<QWidget*>(lblNumPan(i)),
                          static_cast<QWidget*>(lblTypePan(i)), static_cast<QWidget*>(lblLblPan(i))})
        plat::forwardClicks(over, imgPanneau(i));
}

void wBusModules::Form_Load()
{
    plat::guard(QStringLiteral("wBusModules.Form_Load"), [&] {
        makeTiles();
        m_first = BusPage::FirstFromIni(
            VEXfonctions::GetIni(IniKeys::General, IniKeys::PanelPage, IniKeys::PanelPageDefault));
        HabillePanneaux();
        Nationality();
        Global::MiseAEchelle(this);
        showPageButtons();
    });
}

void wBusModules::HabillePanneaux()
{
    plat::guard(QStringLiteral("wBusModules.HabillePanneaux"), [&] {
        m_first = BusPage::Bound(m_first);
        for (int i = 0; i < BusPage::Tiles; ++i) {
            const int module = m_first + i;
            const BusPage::Tile t = BusPage::TileOf(module, *gConfig->Panel(int16_t(module)));
            lblNumPan(i)->setText(t.number);
            lblTypePan(i)->setText(t.model);
            lblLblPan(i)->setText(t.title);
            // A module without a title leaves its tile open (and its cross in sight).
            lblLblPan(i)->setStyleSheet(t.title.isEmpty() ? QString() : BusLook::titleStyle(t.titleColor, t.crossed));
            imgCroix(i)->setVisible(t.crossed);
        }
    });
}

void wBusModules::Nationality()
{
    plat::guard(QStringLiteral("wBusModules.Nationality"), [&] { plat::applyCaptions(this); });
}

void wBusModules::showPageButtons()
{
    imgNavig(NavigPreviousPage)->setVisible(BusPage::PreviousShown(m_first));
    imgNavig(NavigNextPage)->setVisible(BusPage::NextShown(m_first));
}

void wBusModules::imgNavig_Click(int index)
{
    plat::guard(QStringLiteral("wBusModules.imgNavig_Click"), [&] {
        switch (index) {
        case NavigLeave:
            ScreenExits::ShowMain(this);
            return;
        case NavigPreviousPage:
            m_first = BusPage::Previous(m_first);
            HabillePanneaux();
            break;
        case NavigNextPage:
            m_first = BusPage::Next(m_first);
            HabillePanneaux();
            break;
        default:
            break;
        }
        showPageButtons();
    });
}

void wBusModules::imgPanneau_Click(int index)
{
    plat::guard(QStringLiteral("wBusModules.imgPanneau_Click"), [&] {
        auto* editor = qobject_cast<wBusPanneau*>(plat::Forms::Get(FormNames::wBusPanneau));
        if (!editor)
            plat::raise(plat::rt::TypeMismatch);
        editor->setNumModule(m_first + index);
        editor->Show();
        plat::Forms::Unload(this);
    });
}

void wBusModules::imgMiroirs_Click()
{
    plat::guard(QStringLiteral("wBusModules.imgMiroirs_Click"), [&] {
        plat::Forms::Get(FormNames::wBusMiroirs)->Show();
        plat::Forms::Unload(this);
    });
}

void wBusModules::imgCopyPanel_Click()
{
    plat::guard(QStringLiteral("wBusModules.imgCopyPanel_Click"), [&] {
        // The dialog redraws the tiles itself after a copy.
        plat::Forms::Get(FormNames::dlgBusCopy)->Show(true, this);
    });
}

void wBusModules::imgImportExport_Click(int index)
{
    plat::guard(QStringLiteral("wBusModules.imgImportExport_Click"), [&] {
        if (index == ChannelTableImport || index == ChannelTableExport)
            exchangeChannelTable(index == ChannelTableExport);
    });
}

void wBusModules::exchangeChannelTable(bool exporting)
{
    const QString file = fileDialog()(this, Config::GetText(50004, true), exporting);
    if (file.isEmpty())
        return;
    // The hourglass while the file is open, the pointer back also when it is refused.
    const plat::Screen::Hourglass busy;
    // The import changes the configuration in place: the next save by
    // another screen, or the quit, keeps it.
    if (exporting)
        ChannelTable::Export(*gConfig, file);
    else
        ChannelTable::Import(file, *gConfig);
}

void wBusModules::Form_KeyDown(int keyCode)
{
    plat::guard(QStringLiteral("wBusModules.Form_KeyDown"), [&] {
        if (keyCode == KeyF12)
            plat::SystemKeyboard::start();
    });
}

void wBusModules::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_F12) {
        Form_KeyDown(KeyF12);
        return;
    }
    plat::Form::keyPressEvent(event);
}

void wBusModules::paintEvent(QPaintEvent*)
{
    plat::ScreenParts::paint(this);
}
