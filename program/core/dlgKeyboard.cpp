#include "program/core/dlgKeyboard.h"

#include "platform/Cp1252LineEdit.h"
#include "platform/Cp1252TextEdit.h"
#include "platform/Guard.h"
#include "platform/Icons.h"
#include "platform/Theme.h"
#include "program/core/FormNames.h"

#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextBlock>
#include <QVBoxLayout>
#include <cmath>

// ---- KeyboardTextBox --------------------------------------------------------

namespace {

const QString kCrLf = QStringLiteral("\r\n");
// A lone CR or LF is no line of the editor: it stands there as an arrow, one
// character for one, so that the text comes back as it was set: the carriage
// going back for CR, the paper going up a line for LF. Neither arrow has a
// Windows-1252 code, so no typed text holds one.
constexpr char16_t kLoneCr = u'\u2190';
constexpr char16_t kLoneLf = u'\u2193';

QString editorStyle(const char* type)
{
    return QStringLiteral("%1 { border: 1px solid %2; border-radius: 6px; background: %3; padding: 4px 8px; }")
        .arg(QLatin1String(type), plat::Theme::buttonBorder().name(), plat::Theme::panel().name());
}

} // namespace

KeyboardTextBox::KeyboardTextBox(bool multiLine, QWidget* parent) : QWidget(parent)
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    QWidget* w = nullptr;
    if (multiLine) {
        m_edit = new plat::Cp1252TextEdit(this);
        m_edit->setLineWrapMode(QPlainTextEdit::WidgetWidth);
        m_edit->setTabChangesFocus(true);
        m_edit->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        m_edit->installEventFilter(this);
        m_edit->setStyleSheet(editorStyle("QPlainTextEdit"));
        w = m_edit;
    } else {
        m_line = new plat::Cp1252LineEdit(this);
        m_line->setStyleSheet(editorStyle("QLineEdit"));
        w = m_line;
    }
    w->setFont(plat::Theme::font(16));
    w->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    layout->addWidget(w);
    setFocusProxy(w);
}

QWidget* KeyboardTextBox::editor() const
{
    return m_edit ? static_cast<QWidget*>(m_edit) : m_line;
}

QString KeyboardTextBox::Text() const
{
    if (m_line)
        return m_line->text();
    // Block by block: the document's plain text would turn no-break spaces into spaces.
    QStringList lines;
    for (QTextBlock b = m_edit->document()->begin(); b.isValid(); b = b.next())
        lines << b.text().replace(QChar(kLoneCr), QLatin1Char('\r')).replace(QChar(kLoneLf), QLatin1Char('\n'));
    return lines.join(kCrLf);
}

void KeyboardTextBox::setText(const QString& text)
{
    if (m_line) {
        m_line->setText(text);
        return;
    }
    QStringList lines = text.split(kCrLf);
    for (QString& line : lines)
        line.replace(QLatin1Char('\r'), QChar(kLoneCr)).replace(QLatin1Char('\n'), QChar(kLoneLf));
    m_edit->setPlainText(lines.join(QLatin1Char('\n')));
}

int KeyboardTextBox::SelStart() const
{
    if (m_line)
        return m_line->hasSelectedText() ? m_line->selectionStart() : m_line->cursorPosition();
    // Each block before the caret ends in a line break of two characters.
    const int pos = m_edit->textCursor().selectionStart();
    return pos + m_edit->document()->findBlock(pos).blockNumber();
}

void KeyboardTextBox::setSelStart(int pos)
{
    if (m_line) {
        m_line->deselect();
        m_line->setCursorPosition(pos);
        return;
    }
    const QString text = Text();
    pos = std::clamp(pos, 0, int(text.size()));
    const int docPos = pos - int(text.left(pos).count(kCrLf));
    QTextCursor c = m_edit->textCursor();
    c.setPosition(docPos);
    m_edit->setTextCursor(c);
    m_edit->ensureCursorVisible();
}

int KeyboardTextBox::MaxLength() const
{
    if (m_line)
        return m_line->maxLength() >= 32767 ? 0 : m_line->maxLength();
    return m_maxLength;
}

void KeyboardTextBox::setMaxLength(int length)
{
    if (m_line)
        m_line->setMaxLength(length > 0 ? length : 32767);
    else
        m_maxLength = std::max(0, length);
}

bool KeyboardTextBox::eventFilter(QObject* watched, QEvent* event)
{
    // Typing on the panel's keyboard stops at the maximum length too.
    if (watched == m_edit && event->type() == QEvent::KeyPress && m_maxLength > 0) {
        auto* ke = static_cast<QKeyEvent*>(event);
        if (!ke->text().isEmpty() && ke->text().at(0).isPrint() && Text().size() >= m_maxLength
            && !m_edit->textCursor().hasSelection())
            return true;
    }
    return QWidget::eventFilter(watched, event);
}

// ---- dlgKeyboard ------------------------------------------------------------

namespace {

constexpr int kDesignWidth = 800;
constexpr int kDesignHeight = 600;
constexpr int kKeyboardLeft = 8;
constexpr int kKeyboardTop = 208;

// The page keys show what their page holds.
const char* const kPageCaptions[KeyboardModel::kPageCount] = {
    "0-9 !?", "@ A-Z", "a-z", "\u20AC \u0160 \u0152", "\u00A1 \u00B0 \u00BF", "\u00C0 - \u00DF", "\u00E0 - \u00FF",
};

QString keyStyle(int pointSize, bool bold, const QColor& face)
{
    return QStringLiteral(
               "QPushButton { font-family: '%1'; font-size: %2pt; font-weight: %3; color: %4; background: %5;"
               " border: 1px solid %6; border-radius: 7px; }"
               "QPushButton:pressed { background: %7; }"
               "QPushButton:checked { background: %8; color: white; border-color: %8; }")
        .arg(plat::Theme::font().family())
        .arg(pointSize)
        .arg(bold ? 600 : 400)
        .arg(plat::Theme::text().name(), face.name(), plat::Theme::buttonBorder().name(),
             plat::Theme::buttonPressed().name(), plat::Theme::accent().name());
}

QPushButton* newKey(QWidget* parent, const QString& style)
{
    auto* b = new QPushButton(parent);
    // The keys never take the focus: it stays in the text box being edited.
    b->setFocusPolicy(Qt::NoFocus);
    b->setAutoDefault(false);
    b->setStyleSheet(style);
    return b;
}

// Rounded geometry of a key from its fractional position.
QRect keyRect(double left, double top, double width, double height)
{
    const int l = int(std::lround(left));
    const int t = int(std::lround(top));
    return QRect(l, t, int(std::lround(left + width)) - l, int(std::lround(top + height)) - t);
}

} // namespace

dlgKeyboard::dlgKeyboard() : plat::Form(FormNames::dlgKeyboard)
{
    setWindowFlag(Qt::FramelessWindowHint);
    setDialog(true);
    // Designed for the whole 800 x 600 screen; smaller keys would be too small to touch.
    setMinimumSize(kDesignWidth, kDesignHeight);
    resize(kDesignWidth, kDesignHeight);

    lblTitle = new QLabel(this);
    lblTitle->setObjectName(QStringLiteral("lblTitle"));
    lblTitle->setFont(plat::Theme::font(15, true));
    lblTitle->setGeometry(12, 8, 580, 40);

    txtValue.add(0, new KeyboardTextBox(false, this))->setGeometry(12, 52, 580, 52);
    txtValue.add(1, new KeyboardTextBox(true, this))->setGeometry(12, 52, 580, 148);
    for (const auto& [i, box] : txtValue)
        box->editor()->installEventFilter(this);

    imgControl.add(0, new plat::PictureButton(this))->setSvg(plat::Icons::svg(QStringLiteral("cancel")));
    imgControl.add(1, new plat::PictureButton(this))->setSvg(plat::Icons::svg(QStringLiteral("ok")));
    imgControl(0)->setGeometry(604, 52, 88, 72);
    imgControl(1)->setGeometry(700, 52, 88, 72);
    for (int i = 0; i < 2; ++i) {
        imgControl(i)->setFocusPolicy(Qt::NoFocus);
        connect(imgControl(i), &QAbstractButton::clicked, this, [this, i] { imgControl_Click(i); });
    }

    imgCRLF = new plat::PictureButton(this);
    imgCRLF->setObjectName(QStringLiteral("imgCRLF"));
    imgCRLF->setSvg(plat::Icons::svg(QStringLiteral("linebreak")));
    imgCRLF->setFocusPolicy(Qt::NoFocus);
    imgCRLF->setGeometry(604, 132, 184, 68);
    connect(imgCRLF, &QAbstractButton::clicked, this, &dlgKeyboard::imgCRLF_Click);

    picKeyboard = new QFrame(this);
    picKeyboard->setObjectName(QStringLiteral("picKeyboard"));
    picKeyboard->setAutoFillBackground(true);
    QPalette pal = picKeyboard->palette();
    pal.setColor(QPalette::Window, plat::Theme::window().darker(106));
    picKeyboard->setPalette(pal);
    picKeyboard->move(kKeyboardLeft, kKeyboardTop);
    picKeyboard->installEventFilter(this);

    for (int k = 0; k < KeyboardModel::kPageCount; ++k) {
        auto* b = cmdRange.add(k, newKey(picKeyboard, keyStyle(12, true, plat::Theme::buttonFace())));
        b->setText(QString::fromUtf8(kPageCaptions[k]));
        b->setCheckable(true);
        connectKey(b, k, &dlgKeyboard::cmdRange_Click);
    }
    connectKey(cmdKey.add(0, newKey(picKeyboard, keyStyle(18, false, plat::Theme::panel()))), 0,
               &dlgKeyboard::cmdKey_Click);
    connectKey(cmdCtrl.add(0, newKey(picKeyboard, keyStyle(12, true, plat::Theme::buttonFace()))), 0,
               &dlgKeyboard::cmdCtrl_Click);

    Form_Resize();
}

void dlgKeyboard::connectKey(QPushButton* key, int index, void (dlgKeyboard::*handler)(int))
{
    connect(key, &QPushButton::clicked, this, [this, index, handler] { (this->*handler)(index); });
}

void dlgKeyboard::Form_Load()
{
    plat::guard(QStringLiteral("dlgKeyboard.Form_Load"), [&] {
        auto copier = [this](QPushButton* element0) {
            auto* b = newKey(picKeyboard, element0->styleSheet());
            return b;
        };
        for (int i = 1; i < KeyboardModel::kKeysPerPage; ++i) {
            connectKey(cmdKey.load(i, copier), i, &dlgKeyboard::cmdKey_Click);
            cmdKey(i)->setVisible(true);
        }
        for (int j = 1; j < KeyboardModel::kKeyCount; ++j) {
            connectKey(cmdCtrl.load(j, copier), j, &dlgKeyboard::cmdCtrl_Click);
            cmdCtrl(j)->setVisible(true);
        }
        picKeyboard_Resize();
        m_rangeBase = KeyboardModel::kFirstRangeBase;
        KeyRename();
    });
}

void dlgKeyboard::Form_Activate()
{
    // The caret where the caller left it, in the box that the keys edit.
    activeTextBox()->setFocus(Qt::OtherFocusReason);
}

void dlgKeyboard::KeyRename()
{
    for (const auto& [i, key] : cmdKey)
        key->setText(KeyboardModel::keyCaption(m_rangeBase + i));
    const QStringList captions = QString::fromLatin1(KeyboardModel::kKeyCaptions).split(QLatin1Char(','));
    for (const auto& [j, key] : cmdCtrl)
        key->setText(j < captions.size() ? captions[j] : QString());
    for (const auto& [k, key] : cmdRange)
        key->setChecked(KeyboardModel::rangeBaseOfPage(k) == m_rangeBase);
}

KeyboardTextBox* dlgKeyboard::activeTextBox() const
{
    // The caller's choice of box, whether or not the dialog is shown yet.
    return txtValue(1)->isHidden() ? txtValue(0) : txtValue(1);
}

void dlgKeyboard::cmdKey_Click(int index)
{
    plat::guard(QStringLiteral("dlgKeyboard.cmdKey_Click"), [&] {
        KeyboardTextBox* box = activeTextBox();
        KeyboardModel m(box->Text(), box->SelStart(), box->MaxLength());
        if (m.insertCode(m_rangeBase + index)) {
            box->setText(m.text());
            box->setSelStart(m.caret());
        }
        box->setFocus();
    });
}

void dlgKeyboard::cmdRange_Click(int index)
{
    plat::guard(QStringLiteral("dlgKeyboard.cmdRange_Click"), [&] {
        m_rangeBase = int16_t(KeyboardModel::rangeBaseOfPage(index));
        KeyRename();
    });
}

void dlgKeyboard::cmdCtrl_Click(int index)
{
    plat::guard(QStringLiteral("dlgKeyboard.cmdCtrl_Click"), [&] {
        if (index < 0 || index >= KeyboardModel::kKeyCount)
            return;
        KeyboardTextBox* box = activeTextBox();
        KeyboardModel m(box->Text(), box->SelStart(), box->MaxLength());
        const QString before = m.text();
        m.press(KeyboardModel::Key(index));
        if (m.text() != before)
            box->setText(m.text());
        box->setSelStart(m.caret());
        box->setFocus();
    });
}

void dlgKeyboard::imgCRLF_Click()
{
    plat::guard(QStringLiteral("dlgKeyboard.imgCRLF_Click"), [&] {
        KeyboardTextBox* box = txtValue(1);
        KeyboardModel m(box->Text(), box->SelStart(), box->MaxLength());
        if (m.insertLineBreak()) {
            box->setText(m.text());
            box->setSelStart(m.caret());
        }
        box->setFocus();
    });
}

void dlgKeyboard::imgControl_Click(int index)
{
    plat::guard(QStringLiteral("dlgKeyboard.imgControl_Click"), [&] {
        if (index != 0 && index != 1)
            return;
        m_ok = index == 1;
        Hide();
    });
}

bool dlgKeyboard::handleKey(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        imgControl_Click(1);
        return true;
    case Qt::Key_Escape:
        imgControl_Click(0);
        return true;
    default:
        return false;
    }
}

bool dlgKeyboard::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == picKeyboard && event->type() == QEvent::Resize)
        picKeyboard_Resize();
    // Enter and Escape never reach a text box, the multi-line one included.
    if (event->type() == QEvent::KeyPress && watched != picKeyboard
        && handleKey(static_cast<QKeyEvent*>(event)))
        return true;
    return plat::Form::eventFilter(watched, event);
}

void dlgKeyboard::keyPressEvent(QKeyEvent* event)
{
    if (!handleKey(event))
        plat::Form::keyPressEvent(event);
}

void dlgKeyboard::resizeEvent(QResizeEvent* event)
{
    plat::Form::resizeEvent(event);
    Form_Resize();
}

void dlgKeyboard::Form_Resize()
{
    plat::guard(QStringLiteral("dlgKeyboard.Form_Resize"), [&] {
        if (!picKeyboard)
            return;
        const int left = picKeyboard->x();
        const int top = picKeyboard->y();
        picKeyboard->resize(std::max(0, width() - 2 * left), std::max(0, height() - top - left));
    });
}

void dlgKeyboard::picKeyboard_Resize()
{
    plat::guard(QStringLiteral("dlgKeyboard.picKeyboard_Resize"), [&] {
        const QRect inner = picKeyboard->contentsRect();
        const double w = inner.width();
        const double h = inner.height();
        const double u = w / 10.1;
        const double r = h / (KeyboardModel::kPageCount + 0.1);
        const double s = h / 5.1;
        for (const auto& [k, key] : cmdRange)
            key->setGeometry(keyRect(0.1 * u, (k + 0.1) * r, 1.8 * u, 0.9 * r).translated(inner.topLeft()));
        for (const auto& [i, key] : cmdKey) {
            const int column = i % 8 + 2;
            const int row = i / 8;
            key->setGeometry(keyRect((column + 0.1) * u, (row + 0.1) * s, 0.9 * u, 0.9 * s).translated(inner.topLeft()));
        }
        for (const auto& [j, key] : cmdCtrl) {
            const int column = j % 8 + 2;
            key->setGeometry(keyRect((column + 0.1) * u, (4 + 0.1) * s, 0.9 * u, 0.9 * s).translated(inner.topLeft()));
        }
    });
}
