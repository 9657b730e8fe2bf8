#include "program/core/dlgMessage.h"

#include "platform/Captions.h"
#include "platform/Forms.h"
#include "platform/Guard.h"
#include "platform/Icons.h"
#include "platform/ScreenParts.h"
#include "platform/Theme.h"
#include "program/core/Config.h"
#include "program/core/Global.h"
#include "program/core/TextIds.h"
#include "program/core/FormNames.h"

#include <QFontMetrics>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QSvgRenderer>
#include <QTextDocument>
#include <QTextEdit>

namespace MessageBoxCode {

namespace {
int g_depth = 0;
}

bool running()
{
    return g_depth > 0;
}

Scope::Scope()
{
    ++g_depth;
}

Scope::~Scope()
{
    --g_depth;
}

Outside::Outside() : m_saved(g_depth)
{
    g_depth = 0;
}

Outside::~Outside()
{
    g_depth = m_saved;
}

} // namespace MessageBoxCode

namespace {

struct ButtonDef {
    int textId;
    int result;
};

// Each result's caption text.
const ButtonDef kOk{TextIds::Ok, MsgResult::vbOK};
const ButtonDef kCancel{TextIds::Cancel, MsgResult::vbCancel};
const ButtonDef kAbort{TextIds::Abort, MsgResult::vbAbort};
const ButtonDef kRetry{TextIds::Retry, MsgResult::vbRetry};
const ButtonDef kIgnore{TextIds::Ignore, MsgResult::vbIgnore};
const ButtonDef kYes{TextIds::Yes, MsgResult::vbYes};
const ButtonDef kNo{TextIds::No, MsgResult::vbNo};

// The buttons of a set, left to right. A set the convention does not define
// (5 to 7) gets OK, so that no box is ever left without a button.
std::vector<ButtonDef> buttonSet(int set)
{
    switch (set) {
    case 1: return {kOk, kCancel};
    case 2: return {kAbort, kRetry, kIgnore};
    case 3: return {kYes, kNo, kCancel};
    case 4: return {kYes, kNo};
    default: return {kOk};
    }
}

int textIdOfResult(int result)
{
    for (const ButtonDef& d : {kOk, kCancel, kAbort, kRetry, kIgnore, kYes, kNo})
        if (d.result == result)
            return d.textId;
    return 0;
}

const char* const kIconNames[] = {"message", "critical", "question", "exclamation", "information"};

QColor iconColour(int value)
{
    switch (value) {
    case 0: return plat::Theme::buttonBorder();
    case 1: return QColor(0xC6, 0x28, 0x28);
    case 3: return QColor(0xF2, 0xA9, 0x00);
    default: return plat::Theme::accent();
    }
}

QPixmap iconPixmap(int index, qreal ratio)
{
    QSvgRenderer svg(plat::Icons::svg(QString::fromLatin1(kIconNames[index])));
    const int side = qRound(dlgMessage::kIconSize * ratio);
    QPixmap pm(side, side);
    pm.fill(Qt::transparent);
    if (svg.isValid()) {
        QPainter p(&pm);
        p.setRenderHint(QPainter::Antialiasing);
        svg.render(&p, QRectF(0, 0, side, side));
    }
    pm.setDevicePixelRatio(ratio);
    return pm;
}

// The text box shows line breaks however the text writes them.
QString displayText(QString text)
{
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return text;
}

constexpr int kTextLeft = dlgMessage::kMargin + dlgMessage::kIconSize + 20;
constexpr int kTextTop = dlgMessage::kBand + dlgMessage::kMargin;
constexpr int kTextWidth = dlgMessage::kWidth - kTextLeft - dlgMessage::kMargin;
constexpr int kTextBelow = 28;  // between the text and the buttons
constexpr int kDocMargin = 2;

} // namespace

dlgMessage::dlgMessage() : plat::Form(FormNames::dlgMessage)
{
    // No close box: the box is left through one of its buttons.
    setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint);
    setDialog(true);
    setAttribute(Qt::WA_StyledBackground, false);
    setAutoFillBackground(false);
    stateParts();

    txtMessage = new QTextEdit(this);
    txtMessage->setObjectName(QStringLiteral("txtMessage"));
    txtMessage->setReadOnly(true);
    txtMessage->setFocusPolicy(Qt::NoFocus);
    txtMessage->setTextInteractionFlags(Qt::NoTextInteraction);
    txtMessage->setFrameStyle(QFrame::NoFrame);
    txtMessage->setFont(plat::Theme::font(kTextFontPt));
    txtMessage->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    txtMessage->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    txtMessage->setLineWrapMode(QTextEdit::WidgetWidth);
    txtMessage->setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    txtMessage->document()->setDocumentMargin(kDocMargin);
    txtMessage->viewport()->setAutoFillBackground(false);
    txtMessage->setStyleSheet(QStringLiteral("QTextEdit { background: transparent; border: none; color: %1; }"
                                             "QScrollBar:vertical { width: 24px; }")
                                  .arg(plat::Theme::text().name()));

    const QFontMetrics fm(txtMessage->font());
    m_designTextHeight = kDesignLines * fm.lineSpacing() + 2 * kDocMargin;
    txtMessage->setGeometry(kTextLeft, kTextTop, kTextWidth, m_designTextHeight);
    connect(txtMessage, &QTextEdit::textChanged, this, [this] { txtMessage_Change(); });

    const qreal ratio = qApp ? qApp->devicePixelRatio() : 1.0;
    for (int i = 0; i < 5; ++i) {
        auto* icon = imgIcon.add(i, new QLabel(this));
        icon->setPixmap(iconPixmap(i, ratio));
        icon->setGeometry(kMargin, kTextTop, kIconSize, kIconSize);
        icon->setVisible(i == 0);
    }

    const QString face = plat::Theme::buttonFace().name();
    const QString border = plat::Theme::buttonBorder().name();
    const QString pressed = plat::Theme::buttonPressed().name();
    const QString accent = plat::Theme::accent().name();
    const QString accentDark = plat::Theme::accent().darker(130).name();
    const QString ink = plat::Theme::text().name();
    const QString sheet = QStringLiteral(
        "QPushButton { background: %1; color: %2; border: 2px solid %3; border-radius: 10px; padding: 4px 12px; }"
        "QPushButton:pressed { background: %4; }"
        "QPushButton:default { background: %5; color: white; border-color: %6; }"
        "QPushButton:default:pressed { background: %6; }"
        "QPushButton:focus { outline: none; }")
        .arg(face, ink, border, pressed, accent, accentDark);
    for (int i = 0; i < 3; ++i) {
        auto* b = cmdButton.add(i, new QPushButton(this));
        b->setFont(plat::Theme::font(kButtonFontPt, true));
        b->setStyleSheet(sheet);
        b->setAutoDefault(false);
        b->setFocusPolicy(Qt::StrongFocus);
        b->setCursor(Qt::PointingHandCursor);
        b->resize(kButtonWidth, kButtonHeight);
        b->setVisible(false);
        connect(b, &QPushButton::clicked, this, [this, i] { cmdButton_Click(i); });
    }

    const int rowTop = kTextTop + qMax(m_designTextHeight, kIconSize) + kTextBelow;
    for (int i = 0; i < 3; ++i)
        cmdButton(i)->move(0, rowTop);
    resize(kWidth, rowTop + kButtonHeight + kMargin);
}

void dlgMessage::Form_Load()
{
    MessageBoxCode::Scope code;
    plat::guard(QStringLiteral("dlgMessage.Form_Load"), [&] {
        m_designWidth = width();
        m_designHeight = height();
        m_result = -1;
        m_doUnload = false;
    });
}

void dlgMessage::Form_Activate()
{
    MessageBoxCode::Scope code;
    plat::guard(QStringLiteral("dlgMessage.Form_Activate"), [&] {
        const int d = defaultIndex();
        if (d >= 0)
            cmdButton(d)->setFocus(Qt::ActiveWindowFocusReason);
    });
}

bool dlgMessage::Form_QueryUnload(plat::UnloadMode mode)
{
    if (mode != plat::vbFormControlMenu)
        return false;
    // Closed by the window system: that is the Cancel answer where the box
    // has one; a box without Cancel stays until a button is pressed.
    MessageBoxCode::Scope code;
    const int cancel = buttonWithResult(MsgResult::vbCancel);
    if (cancel < 0)
        return true;
    m_result = MsgResult::vbCancel;
    if (m_doUnload)
        return false;
    Hide();
    return true;
}

void dlgMessage::Nationality()
{
    MessageBoxCode::Scope code;
    plat::guard(QStringLiteral("dlgMessage.Nationality"), [&] { applyCaptions(); });
}

void dlgMessage::setButtons(int style)
{
    MessageBoxCode::Scope code;
    const std::vector<ButtonDef> set = buttonSet(style & 7);
    m_buttonCount = int(set.size());

    m_iconValue = (style / 16) & 7;
    for (int i = 0; i < 5; ++i)
        imgIcon(i)->setVisible(i == m_iconValue);
    stateParts();

    const int rowWidth = m_buttonCount * kButtonWidth + (m_buttonCount - 1) * kButtonGap;
    int left = (kWidth - rowWidth) / 2;
    for (int i = 0; i < 3; ++i) {
        QPushButton* b = cmdButton(i);
        if (i < m_buttonCount) {
            plat::setTag(b, set[i].result);
            b->move(left, b->y());
            left += kButtonWidth + kButtonGap;
            b->setVisible(true);
        } else {
            plat::setTag(b, QVariant());
            b->setVisible(false);
        }
    }
    applyCaptions();

    // A default beyond the set (or the undefined value 3) is the first button.
    const int d = (style / 256) & 3;
    m_defaultIndex = d < m_buttonCount ? d : 0;
    for (int i = 0; i < 3; ++i)
        cmdButton(i)->setDefault(i == m_defaultIndex);
    update();
}

void dlgMessage::applyCaptions()
{
    for (int i = 0; i < 3; ++i) {
        QPushButton* b = cmdButton(i);
        const QVariant tag = b->property("Tag");
        if (tag.isValid() && !tag.isNull())
            b->setText(QStringLiteral("&") + Config::GetText(textIdOfResult(tag.toInt())));
    }
}

void dlgMessage::setDoUnload(bool on)
{
    m_doUnload = on;
}

void dlgMessage::setMessage(const QString& text)
{
    MessageBoxCode::Scope code;
    txtMessage->setPlainText(displayText(text));
}

void dlgMessage::cmdButton_Click(int index)
{
    MessageBoxCode::Scope code;
    plat::guard(QStringLiteral("dlgMessage.cmdButton_Click"), [&] {
        m_result = int16_t(plat::tagOf(cmdButton(index)).toInt());
        if (m_doUnload)
            plat::Forms::Unload(this);
        else
            Hide();
    });
}

void dlgMessage::txtMessage_Change()
{
    MessageBoxCode::Scope code;
    plat::guard(QStringLiteral("dlgMessage.txtMessage_Change"), [&] { sizeToText(); });
}

int dlgMessage::buttonWithResult(int result) const
{
    for (int i = 0; i < m_buttonCount; ++i)
        if (!cmdButton(i)->isHidden() && plat::tagOf(cmdButton(i)).toInt() == result)
            return i;
    return -1;
}

int dlgMessage::defaultIndex() const
{
    if (m_defaultIndex < m_buttonCount && !cmdButton(m_defaultIndex)->isHidden())
        return m_defaultIndex;
    // A caller may have hidden the default: the first visible one then.
    for (int i = 0; i < m_buttonCount; ++i)
        if (!cmdButton(i)->isHidden())
            return i;
    return -1;
}

QStringList dlgMessage::WrapLines(const QString& text, const QFontMetrics& metrics, int width)
{
    // A surface that only measures: it keeps the lines the paragraph printer makes.
    class Measure : public Global::PrintSurface {
    public:
        explicit Measure(const QFontMetrics& fm) : m_fm(fm) {}
        double CurrentX() const override { return m_x; }
        double CurrentY() const override { return m_y; }
        void setCurrentX(double x) override { m_x = x; }
        void setCurrentY(double y) override { m_y = y; }
        double TextWidth(const QString& t) const override { return m_fm.horizontalAdvance(t); }
        void Print(const QString& t, bool newLine) override
        {
            m_open += t;
            if (newLine) {
                lines << m_open;
                m_open.clear();
                m_y += m_fm.lineSpacing();
            }
        }
        QStringList lines;

    private:
        const QFontMetrics& m_fm;
        QString m_open;
        double m_x = 0;
        double m_y = 0;
    } measure(metrics);
    Global::PrintParagraph(measure, text, 0, width);
    return measure.lines;
}

void dlgMessage::sizeToText()
{
    const QFontMetrics fm(txtMessage->font());
    const int wrapWidth = txtMessage->width() - 2 * kDocMargin;
    const QString text = txtMessage->toPlainText();
    const int lines = int(WrapLines(text, fm, wrapWidth).size());
    int needed = lines * fm.lineSpacing() + 2 * kDocMargin;
    // The text box's own layout may break a line elsewhere: never show less than it needs.
    txtMessage->document()->setTextWidth(txtMessage->viewport()->width());
    needed = qMax(needed, qCeil(txtMessage->document()->size().height()));
    int textHeight = qMax(m_designTextHeight, needed);

    // A text taller than the screen scrolls, so that the buttons stay in reach.
    const QScreen* screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
    const QRect area = screen ? screen->availableGeometry() : QRect(0, 0, 800, 600);
    const int chrome = kTextTop + kTextBelow + kButtonHeight + kMargin;
    const int maxText = area.height() - chrome;
    const bool scrolls = textHeight > maxText;
    if (scrolls)
        textHeight = qMax(m_designTextHeight, maxText);
    txtMessage->setVerticalScrollBarPolicy(scrolls ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
    txtMessage->resize(kTextWidth, textHeight);

    const int rowTop = kTextTop + qMax(textHeight, kIconSize) + kTextBelow;
    for (int i = 0; i < 3; ++i)
        cmdButton(i)->move(cmdButton(i)->x(), rowTop);
    const int h = rowTop + kButtonHeight + kMargin;
    const int w = qMax(kWidth, m_designWidth);
    setFixedSize(w, h);
    centreOnOwner();
}

void dlgMessage::keyPressEvent(QKeyEvent* event)
{
    MessageBoxCode::Scope code;
    const int key = event->key();
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
        // Enter presses the button that has the focus, else the default one.
        int index = -1;
        if (QWidget* f = focusWidget())
            index = cmdButton.indexOf(f);
        if (index < 0 || index >= m_buttonCount || cmdButton(index)->isHidden())
            index = defaultIndex();
        event->accept();
        if (index >= 0)
            cmdButton(index)->click();
        return;
    }
    if (key == Qt::Key_Escape) {
        event->accept();
        const int cancel = buttonWithResult(MsgResult::vbCancel);
        if (cancel >= 0)
            cmdButton(cancel)->click();
        return;
    }
    plat::Form::keyPressEvent(event);
}

void dlgMessage::paintEvent(QPaintEvent*)
{
    plat::ScreenParts::paint(this);
}

// The band takes the colour of the icon shown.
void dlgMessage::stateParts()
{
    const QColor band = m_iconValue <= 4 ? iconColour(m_iconValue) : plat::Theme::accent();
    plat::ScreenParts::state(this, {plat::Theme::panel(), {{0, kBand, band}}, 2, plat::Theme::buttonBorder()});
}
