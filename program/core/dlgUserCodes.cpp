#include "program/core/dlgUserCodes.h"

#include "platform/Captions.h"
#include "platform/Cp1252LineEdit.h"
#include "platform/Forms.h"
#include "platform/Guard.h"
#include "platform/Icons.h"
#include "platform/ScreenLook.h"
#include "platform/Theme.h"
#include "platform/Values.h"
#include "program/core/AccessControl.h"
#include "program/core/Config.h"
#include "program/core/Globals.h"
#include "program/core/TextIds.h"
#include "program/core/FormNames.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace {

constexpr int kMargin = 24;
constexpr int kBand = 52;
constexpr int kRowHeight = 44;
constexpr int kRowPitch = 56;
constexpr int kFieldsTop = 64;
constexpr int kFieldsBottom = 236;
constexpr int kLabelWidth = 128;
constexpr int kFieldLeft = kMargin + kLabelWidth + 8;
constexpr int kFieldWidth = 280;
constexpr int kKeysTop = 252;
constexpr int kKeyWidth = 60;
constexpr int kKeyHeight = 62;
constexpr int kKeyGap = 8;
constexpr int kKeysPerRow = 10;

// The keypad's rows, by character code; backspace closes the last row.
const char* const kRows[] = {"1234567890", "ABCDEFGHIJ", "KLMNOPQRST", "UVWXYZ-"};

QString keyStyle()
{
    return QStringLiteral(
               "QPushButton { font-family: '%1'; font-size: 20pt; font-weight: 600; color: %2; background: %3;"
               " border: 1px solid %4; border-radius: 8px; }"
               "QPushButton:pressed { background: %5; }")
        .arg(plat::Theme::font().family(), plat::Theme::text().name(), plat::Theme::buttonFace().name(),
             plat::Theme::buttonBorder().name(), plat::Theme::buttonPressed().name());
}

QLabel* newLabel(QWidget* parent, const char* name, int tag, int pointSize, bool bold)
{
    auto* l = new QLabel(parent);
    l->setObjectName(QString::fromLatin1(name));
    l->setFont(plat::Theme::font(pointSize, bold));
    if (tag)
        plat::setTag(l, tag);
    return l;
}

} // namespace

void dlgUserCodes::registerForm()
{
    plat::Forms::registerForm(FormNames::dlgUserCodes, [] { return new dlgUserCodes; });
}

dlgUserCodes::dlgUserCodes() : plat::Form(FormNames::dlgUserCodes)
{
    setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint);
    setDialog(true);
    setFixedSize(kWidth, kHeight);
    plat::ScreenParts::state(this, plat::ScreenLook::dialogParts(kBand));

    lblTitle = newLabel(this, "lblTitle", TextIds::UserCodesTitle, 16, true);
    lblTitle->setGeometry(kMargin, 0, kWidth - 2 * kMargin, kBand);
    lblTitle->setStyleSheet(QStringLiteral("color: white;"));

    lblName = newLabel(this, "lblName", TextIds::UserCodesName, 14, false);
    lblCode = newLabel(this, "lblCode", TextIds::UserCodesCode, 14, false);
    lblLevel = newLabel(this, "lblLevel", TextIds::UserCodesLevel, 14, false);
    lblPwdLevel = newLabel(this, "lblPwdLevel", 0, 22, true);
    lblPwdLevel->setAlignment(Qt::AlignCenter);
    lblPwdLevel->setText(QStringLiteral("0"));

    for (int i = 0; i < 2; ++i) {
        // Names and codes go to the working file, in Windows-1252.
        auto* field = txtPwd.add(i, new plat::Cp1252LineEdit(this));
        field->setFont(plat::Theme::font(20, true));
        field->installEventFilter(this);
        setFieldColour(field, FieldColour);
    }

    const QString style = keyStyle();
    auto addKey = [&](int code, const QString& caption, int row, int column, int span) {
        auto* key = cmdKey.add(code, new QPushButton(caption, this));
        // The keys never take the focus: it stays in the field being typed into.
        key->setFocusPolicy(Qt::NoFocus);
        key->setAutoDefault(false);
        key->setStyleSheet(style);
        key->setGeometry(kMargin + column * (kKeyWidth + kKeyGap), kKeysTop + row * (kKeyHeight + kKeyGap),
                         span * kKeyWidth + (span - 1) * kKeyGap, kKeyHeight);
        connect(key, &QPushButton::clicked, this, [this, code] { cmdKey_Click(code); });
    };
    for (int row = 0; row < 4; ++row) {
        const QByteArray chars(kRows[row]);
        for (int column = 0; column < chars.size(); ++column)
            addKey(chars[column], QString(QLatin1Char(chars[column])), row, column, 1);
    }
    addKey(KeyBackspace, QString(QChar(0x232B)), 3, 7, kKeysPerRow - 7);

    struct Command {
        int index;
        const char* icon;
        int tag;
    };
    for (const Command& c : {Command{CmdCancel, "cancel", TextIds::Cancel},
                             Command{CmdOk, "ok", TextIds::Ok},
                             Command{CmdLevelDown, "down", 0},
                             Command{CmdLevelUp, "up", 0}}) {
        auto* b = imgCmd.add(c.index, new plat::PictureButton(this));
        b->setSvg(plat::Icons::svg(c.icon));
        b->setFocusPolicy(Qt::NoFocus);
        // "Abbrechen" fits the button at 12 points.
        b->setFont(plat::Theme::font(12, true));
        if (c.tag)
            plat::setTag(b, c.tag);
        const int index = c.index;
        connect(b, &QAbstractButton::clicked, this, [this, index] { imgCmd_Click(index); });
    }
    const int right = kWidth - kMargin;
    const int commandWidth = 104;
    imgCmd(CmdOk)->setGeometry(right - commandWidth, kFieldsTop + 4, commandWidth, kFieldsBottom - kFieldsTop - 8);
    imgCmd(CmdCancel)->setGeometry(right - 2 * commandWidth - 12, kFieldsTop + 4, commandWidth,
                                   kFieldsBottom - kFieldsTop - 8);

    tmrAutoClose = new plat::FormTimer(QStringLiteral("tmrAutoClose"), this);
    connect(tmrAutoClose, &plat::FormTimer::Timer, this, [this] { tmrAutoClose_Timer(); });

    // Enter and Escape also when no field holds the focus.
    installEventFilter(this);
    syncRows();
}

void dlgUserCodes::Form_Load()
{
    plat::guard(QStringLiteral("dlgUserCodes.Form_Load"), [&] {
        Nationality();
        m_levelOnePresent = AccessControl::LevelOnePresent(AccessControl::UsersOf(gConfig));
        // Prepared but never started: nothing in the dialog arms it.
        tmrAutoClose->setInterval(int(plat::Val(Config::GetConfig(AutoCloseKey)) * 1000));
    });
}

void dlgUserCodes::Form_Activate()
{
    syncRows();
    // Typing works at once: the first field shown has the focus (the form
    // gave it) and is the target of the keys, though the window may not be
    // active yet to tell it so.
    const int first = txtPwd.indexOf(focusWidget());
    if (first >= 0)
        txtPwd_GotFocus(first);
}

int dlgUserCodes::TargetField() const
{
    for (const auto& [i, field] : txtPwd)
        if (field->property("Target").toBool())
            return i;
    return -1;
}

void dlgUserCodes::setFieldColour(QLineEdit* field, unsigned int bgr)
{
    field->setProperty("Target", bgr == TargetColour);
    field->setStyleSheet(QStringLiteral("QLineEdit { background: %1; color: %2; border: 2px solid %3;"
                                        " border-radius: 6px; padding: 0 8px; lineedit-password-character: 42; }")
                             .arg(plat::Theme::fromBgr(bgr).name(), plat::Theme::text().name(),
                                  plat::Theme::buttonBorder().name()));
}

void dlgUserCodes::beep()
{
    ++m_beeps;
    QApplication::beep();
}

void dlgUserCodes::syncRows()
{
    // A hidden field hides its caption; the rows left are centred in their band.
    lblName->setVisible(!txtPwd(0)->isHidden());
    lblLevel->setVisible(!lblPwdLevel->isHidden());
    struct Row {
        QLabel* label;
        QWidget* shown;
    };
    const Row rows[] = {{lblName, txtPwd(0)}, {lblCode, txtPwd(1)}, {lblLevel, lblPwdLevel}};
    int visible = 0;
    for (const Row& r : rows)
        visible += r.shown->isHidden() ? 0 : 1;
    int y = kFieldsTop + (kFieldsBottom - kFieldsTop - visible * kRowPitch + (kRowPitch - kRowHeight)) / 2;
    for (const Row& r : rows) {
        if (r.shown->isHidden())
            continue;
        r.label->setGeometry(kMargin, y, kLabelWidth, kRowHeight);
        if (r.shown == lblPwdLevel) {
            imgCmd(CmdLevelDown)->setGeometry(kFieldLeft, y - 2, 64, kRowHeight + 4);
            lblPwdLevel->setGeometry(kFieldLeft + 72, y, 64, kRowHeight);
            imgCmd(CmdLevelUp)->setGeometry(kFieldLeft + 144, y - 2, 64, kRowHeight + 4);
        } else {
            r.shown->setGeometry(kFieldLeft, y, kFieldWidth, kRowHeight);
        }
        y += kRowPitch;
    }
}

void dlgUserCodes::txtPwd_GotFocus(int index)
{
    plat::guard(QStringLiteral("dlgUserCodes.txtPwd_GotFocus"), [&] {
        for (const auto& [i, field] : txtPwd)
            setFieldColour(field, FieldColour);
        setFieldColour(txtPwd(index), TargetColour);
    });
}

void dlgUserCodes::cmdKey_Click(int index)
{
    plat::guard(QStringLiteral("dlgUserCodes.cmdKey_Click"), [&] {
        const int target = TargetField();
        if (target < 0) {
            beep();
            return;
        }
        QLineEdit* field = txtPwd(target);
        QString text = field->text();
        if (index == KeyBackspace) {
            if (text.isEmpty()) {
                beep();
                return;
            }
            text.chop(1);
        } else {
            text += QChar(index);
        }
        field->setText(text);
    });
}

void dlgUserCodes::imgCmd_Click(int index)
{
    plat::guard(QStringLiteral("dlgUserCodes.imgCmd_Click"), [&] {
        const int shown = plat::CInt(plat::Val(lblPwdLevel->text()));
        switch (index) {
        case CmdCancel:
            m_ok = false;
            Hide();
            break;
        case CmdOk:
            m_ok = true;
            Hide();
            break;
        case CmdLevelDown:
            lblPwdLevel->setText(QString::number(AccessControl::LevelDown(shown)));
            break;
        case CmdLevelUp:
            lblPwdLevel->setText(QString::number(AccessControl::LevelUp(shown, gUserLevel, m_levelOnePresent)));
            break;
        default:
            break;
        }
    });
}

void dlgUserCodes::tmrAutoClose_Timer()
{
    imgCmd_Click(CmdCancel);
}

bool dlgUserCodes::eventFilter(QObject* watched, QEvent* event)
{
    const int field = txtPwd.indexOf(watched);
    if (field >= 0 && event->type() == QEvent::FocusIn)
        txtPwd_GotFocus(field);
    if ((field >= 0 || watched == this) && event->type() == QEvent::KeyPress) {
        // Enter and Escape act as OK and Cancel wherever the focus is; both are consumed.
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            imgCmd_Click(CmdOk);
            return true;
        }
        if (key == Qt::Key_Escape) {
            imgCmd_Click(CmdCancel);
            return true;
        }
    }
    return plat::Form::eventFilter(watched, event);
}

void dlgUserCodes::paintEvent(QPaintEvent*)
{
    plat::ScreenParts::paint(this);
}
