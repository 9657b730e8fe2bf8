#include "tools/screens/CaptionCheck.h"

#include "platform/Captions.h"
#include "platform/PictureButton.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QFontMetricsF>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QStyleOptionButton>
#include <QStyleOptionGroupBox>
#include <QTableWidget>
#include <QTextDocument>

#include <cmath>

namespace CaptionCheck {

namespace {

// A group's title lies on its frame: it ends before the frame's rounded corner.
constexpr int kFrameCorner = 6;

// The part of rect (in the control's pixels) that the control's parents up
// to window leave in sight.
QRectF seenPart(const QWidget* control, const QWidget* window, QRectF rect)
{
    QPointF origin;   // the control's top left in the coordinates of w's parent
    for (const QWidget* w = control; w != window && w->parentWidget(); w = w->parentWidget()) {
        origin += w->pos();
        rect = (rect.translated(origin) & QRectF(w->parentWidget()->rect())).translated(-origin);
    }
    return rect;
}

// Records text when, drawn at drawn, it leaves the part of room in sight.
void measure(std::vector<Misfit>& out, const QWidget* control, const QWidget* window, const QString& name,
             const QString& text, const QRectF& drawn, const QRectF& room)
{
    const QRectF seen = seenPart(control, window, room);
    // Sub-pixel rounding of the metrics is no cut.
    if (seen.contains(drawn.adjusted(0.5, 0.5, -0.5, -0.5)))
        return;
    out.push_back({name, text, QSize(int(std::ceil(drawn.width())), int(std::ceil(drawn.height()))),
                   QSize(int(seen.width()), int(seen.height()))});
}

// Blanks at the end of a line take room but show nothing.
QString visibleText(const QString& text)
{
    QStringList lines = QString(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n")).split(QLatin1Char('\n'));
    for (QString& line : lines)
        while (!line.isEmpty() && line.back().isSpace())
            line.chop(1);
    return lines.join(QLatin1Char('\n'));
}

// Plain text laid out in room with these flags, as the control draws it.
void checkText(std::vector<Misfit>& out, const QWidget* control, const QWidget* window, const QRectF& room, int flags,
               const QString& caption)
{
    const QString text = visibleText(caption);
    if (text.trimmed().isEmpty())
        return;
    const QRectF drawn = QFontMetricsF(control->font()).boundingRect(room, flags, text);
    measure(out, control, window, control->objectName(), text, drawn, room);
}

void checkLabel(std::vector<Misfit>& out, const QLabel* label, const QWidget* window)
{
    if (label->text().isEmpty())
        return;
    const int m = label->margin();
    const QRectF room = QRectF(label->contentsRect()).adjusted(m, m, -m, -m);
    const bool rich = label->textFormat() == Qt::RichText ||
                      (label->textFormat() == Qt::AutoText && Qt::mightBeRichText(label->text()));
    if (rich) {
        QTextDocument doc;
        doc.setDefaultFont(label->font());
        doc.setDocumentMargin(0);
        doc.setHtml(label->text());
        if (label->wordWrap())
            doc.setTextWidth(room.width());
        measure(out, label, window, label->objectName(), doc.toPlainText(),
                QRectF(room.topLeft(), QSizeF(doc.idealWidth(), doc.size().height())), room);
        return;
    }
    int flags = int(label->alignment());
    if (label->wordWrap())
        flags |= Qt::TextWordWrap;
    if (label->buddy())
        flags |= Qt::TextShowMnemonic;
    checkText(out, label, window, room, flags, label->text());
}

QRectF contents(const QAbstractButton* button, QStyle::SubElement element)
{
    QStyleOptionButton opt;
    opt.initFrom(button);
    opt.text = button->text();
    opt.icon = button->icon();
    opt.iconSize = button->iconSize();
    return QRectF(button->style()->subElementRect(element, &opt, button));
}

void checkButton(std::vector<Misfit>& out, const QAbstractButton* button, const QWidget* window)
{
    if (auto* picture = qobject_cast<const plat::PictureButton*>(button)) {
        checkText(out, button, window, picture->textRect(), Qt::AlignCenter | Qt::TextWordWrap, button->text());
        return;
    }
    QRectF room = button->rect();
    if (qobject_cast<const QCheckBox*>(button))
        room = contents(button, QStyle::SE_CheckBoxContents);
    else if (qobject_cast<const QRadioButton*>(button))
        room = contents(button, QStyle::SE_RadioButtonContents);
    else if (qobject_cast<const QPushButton*>(button))
        room = contents(button, QStyle::SE_PushButtonContents);
    if (!button->icon().isNull())
        room.setLeft(room.left() + button->iconSize().width() + 4);
    checkText(out, button, window, room, Qt::AlignCenter | Qt::TextShowMnemonic, button->text());
}

void checkGroup(std::vector<Misfit>& out, const QGroupBox* group, const QWidget* window)
{
    if (group->title().isEmpty())
        return;
    QStyleOptionGroupBox opt;
    opt.initFrom(group);
    opt.text = group->title();
    opt.subControls = QStyle::SC_GroupBoxLabel | QStyle::SC_GroupBoxFrame;
    const QRectF label = group->style()->subControlRect(QStyle::CC_GroupBox, &opt, QStyle::SC_GroupBoxLabel, group);
    const QFontMetricsF fm(group->font());
    const QRectF drawn(label.topLeft(), QSizeF(fm.horizontalAdvance(group->title()), fm.height()));
    measure(out, group, window, group->objectName(), group->title(), drawn,
            QRectF(group->rect()).adjusted(0, 0, -kFrameCorner, 0));
}

// One column title, drawn left and centred in its room.
void checkColumnTitle(std::vector<Misfit>& out, const QWidget* viewport, const QWidget* window, const QString& name,
                      const QString& title, const QFont& font, const QRectF& room)
{
    const QString text = visibleText(title);
    if (text.trimmed().isEmpty())
        return;
    const QRectF drawn = QFontMetricsF(font).boundingRect(room, Qt::AlignLeft | Qt::AlignVCenter, text);
    measure(out, viewport, window, name, text, drawn, room);
}

void checkHeader(std::vector<Misfit>& out, const QHeaderView* header, const QWidget* window)
{
    if (header->orientation() != Qt::Horizontal || !header->model())
        return;
    const int margin = header->style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, header);
    const QString owner = header->parentWidget() ? header->parentWidget()->objectName() : header->objectName();
    for (int i = 0; i < header->count(); ++i) {
        if (header->isSectionHidden(i) || header->sectionSize(i) <= 0)
            continue;
        const QRectF section(header->sectionViewportPosition(i) + margin, 0, header->sectionSize(i) - 2 * margin,
                             header->viewport()->height());
        checkColumnTitle(out, header->viewport(), window, QStringLiteral("%1[%2]").arg(owner).arg(i),
                         header->model()->headerData(i, Qt::Horizontal).toString(), header->font(), section);
    }
}

// The titles a grid keeps in its first row, each in its cell.
void checkTitleRow(std::vector<Misfit>& out, const QTableWidget* grid, const QWidget* window)
{
    if (grid->rowCount() == 0 || grid->isRowHidden(0))
        return;
    const int margin = grid->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, grid) + 1;
    for (int c = 0; c < grid->columnCount(); ++c) {
        const QTableWidgetItem* cell = grid->item(0, c);
        if (!cell || grid->isColumnHidden(c))
            continue;
        checkColumnTitle(out, grid->viewport(), window, QStringLiteral("%1(0, %2)").arg(grid->objectName()).arg(c),
                         cell->text(), cell->data(Qt::FontRole).isValid() ? cell->font() : grid->font(),
                         QRectF(grid->visualItemRect(cell)).adjusted(margin, 0, -margin, 0));
    }
}

} // namespace

std::vector<Misfit> misfits(const QWidget* window)
{
    std::vector<Misfit> out;
    for (const QWidget* w : window->findChildren<QWidget*>()) {
        if (w->isWindow() || !w->isVisibleTo(window) || w->width() <= 0 || w->height() <= 0 || plat::showsValue(w))
            continue;
        if (auto* label = qobject_cast<const QLabel*>(w))
            checkLabel(out, label, window);
        else if (auto* button = qobject_cast<const QAbstractButton*>(w))
            checkButton(out, button, window);
        else if (auto* group = qobject_cast<const QGroupBox*>(w))
            checkGroup(out, group, window);
        else if (auto* header = qobject_cast<const QHeaderView*>(w))
            checkHeader(out, header, window);
        else if (auto* grid = qobject_cast<const QTableWidget*>(w); grid && plat::hasTitleRow(grid))
            checkTitleRow(out, grid, window);
    }
    return out;
}

QString describe(const Misfit& m)
{
    return QStringLiteral("%1 \"%2\" needs %3 x %4, has %5 x %6")
        .arg(m.control, QString(m.text).replace(QLatin1Char('\n'), QLatin1Char('|')))
        .arg(m.needs.width())
        .arg(m.needs.height())
        .arg(m.room.width())
        .arg(m.room.height());
}

} // namespace CaptionCheck
