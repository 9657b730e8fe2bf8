#include "program/screens/system/MenuDialog.h"

#include "platform/Forms.h"
#include "platform/Guard.h"
#include "platform/ScreenLook.h"
#include "platform/Theme.h"
#include "program/screens/system/MainMenu.h"

#include <QLabel>
#include <QPushButton>

namespace {

constexpr int kBand = 64;
constexpr int kMargin = 32;
constexpr int kButtonHeight = 64;
constexpr int kButtonGap = 12;
constexpr int kCancelGap = 24;

} // namespace

MenuDialog::MenuDialog(const QString& name, int entry) : plat::Form(name), m_entry(entry)
{
    setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint);
    setDialog(true);
    setFixedSize(kWidth, kHeight);
    plat::ScreenParts::state(this, plat::ScreenLook::dialogParts(kBand));

    lblLabels.add(0, plat::ScreenLook::bandLabel(this, 18, {kMargin, 0, kWidth - 2 * kMargin, kBand}));

    const QString style = plat::ScreenLook::commandStyle();
    const int width = kWidth - 2 * kMargin;
    for (int i = 0; i < ButtonCount; ++i) {
        auto* b = cmdButtons.add(i, new QPushButton(this));
        b->setFont(plat::Theme::font(15, true));
        b->setStyleSheet(style);
        b->setAutoDefault(false);
        b->setCursor(Qt::PointingHandCursor);
        // The commands from the top, the cancel apart below them.
        const int row = i == CmdCancel ? ButtonCount - 1 : i - 1;
        const int top = kBand + kMargin / 2 + row * (kButtonHeight + kButtonGap) + (i == CmdCancel ? kCancelGap : 0);
        b->setGeometry(kMargin, top, width, kButtonHeight);
        connect(b, &QPushButton::clicked, this, [this, i] { cmdButtons_Click(i); });
    }
}

void MenuDialog::Form_Load()
{
    plat::guard(Name() + QStringLiteral(".Form_Load"), [&] {
        Nationality();
        for (int i = 1; i < ButtonCount; ++i) {
            const auto target = MainMenu::CommandTarget(m_entry, i);
            cmdButtons(i)->setEnabled(target && plat::Forms::isRegistered(target->form));
        }
    });
}

void MenuDialog::cmdButtons_Click(int index)
{
    plat::guard(Name() + QStringLiteral(".cmdButtons_Click"), [&] {
        m_cmd = index;
        Hide();
    });
}

void MenuDialog::paintEvent(QPaintEvent*)
{
    plat::ScreenParts::paint(this);
}
