#include "platform/FlexGrid.h"

#include "platform/Captions.h"
#include "platform/InputGate.h"
#include "platform/Theme.h"

#include <QHeaderView>
#include <QScrollBar>
#include <QStyledItemDelegate>

namespace plat {

namespace {
// The text as it was given; the display role shows it with plain line breaks.
constexpr int kGivenText = Qt::UserRole + 1;
constexpr int kRowData = Qt::UserRole + 2;

// Draws its cells as they are, current or not.
class TitleCells : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override
    {
        QStyledItemDelegate::initStyleOption(option, index);
        option->state &= ~(QStyle::State_HasFocus | QStyle::State_Selected);
    }
};
} // namespace

FlexGrid::FlexGrid(int rows, int columns, QWidget* parent) : QTableWidget(rows, columns, parent)
{
    horizontalHeader()->hide();
    verticalHeader()->hide();
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    // The current row is the choice; the rows keep their own colours.
    setSelectionMode(QAbstractItemView::NoSelection);
    setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    setWordWrap(false);
    // Texts aligned in columns are cut at the cell's edge, never shortened.
    setTextElideMode(Qt::ElideNone);
    m_defaultRowHeight = verticalHeader()->defaultSectionSize();
    // Rows added, removed or scrolled (alarms come while the operator reads):
    // a touch made before on the rows that moved meant another row.
    // fromRow -1: every row shown moved.
    const auto moved = [this](int fromRow) {
        if (!viewport()->isVisible())
            return;
        const QRect shown = viewport()->rect();
        int top = 0;
        if (fromRow >= 0 && rowCount() > 0) {
            top = fromRow < rowCount() ? visualRect(model()->index(fromRow, 0)).top()
                                       : visualRect(model()->index(rowCount() - 1, 0)).bottom() + 1;
            // Above the first row shown: those shown move down or up.
            top = qMax(top, 0);
        }
        InputGate::shownAfresh(viewport(), shown.adjusted(0, top, 0, 0) & shown);
    };
    connect(model(), &QAbstractItemModel::rowsInserted, this,
            [moved](const QModelIndex&, int first, int) { moved(first); });
    connect(model(), &QAbstractItemModel::rowsRemoved, this,
            [moved](const QModelIndex&, int first, int) { moved(first); });
    connect(verticalScrollBar(), &QScrollBar::valueChanged, this, [moved] { moved(-1); });
    connect(this, &QTableWidget::currentCellChanged, this,
            [this](int row, int column, int previousRow, int previousColumn) {
                if (row != previousRow || column != previousColumn)
                    emit RowColChange();
            });
}

QTableWidgetItem* FlexGrid::cell(int row, int column)
{
    QTableWidgetItem* it = item(row, column);
    if (!it && row >= 0 && row < rowCount() && column >= 0 && column < columnCount()) {
        it = new QTableWidgetItem;
        setItem(row, column, it);
    }
    return it;
}

void FlexGrid::setTitleRow()
{
    markTitleRow(this);
    setItemDelegateForRow(0, new TitleCells(this));
}

void FlexGrid::setRows(int rows)
{
    setRowCount(qMax(0, rows));
}

void FlexGrid::setRow(int row)
{
    if (row >= 0 && row < rowCount())
        setCurrentCell(row, qMax(0, currentColumn()));
}

int FlexGrid::TopRow() const
{
    return rowCount() == 0 ? 0 : verticalScrollBar()->value();
}

void FlexGrid::setTopRow(int row)
{
    verticalScrollBar()->setValue(row);
}

QString FlexGrid::Text() const
{
    return TextMatrix(currentRow(), qMax(0, currentColumn()));
}

void FlexGrid::setText(const QString& text)
{
    setTextMatrix(currentRow(), qMax(0, currentColumn()), text);
}

void FlexGrid::setCellBackColor(unsigned int bgr)
{
    setCellBackColor(currentRow(), qMax(0, currentColumn()), bgr);
}

void FlexGrid::setCellBackColor(int row, int column, unsigned int bgr)
{
    QTableWidgetItem* it = cell(row, column);
    if (!it)
        return;
    const QColor back = Theme::fromBgr(bgr);
    it->setBackground(back);
    // The text in black or white, whichever reads on that background.
    const double luminance = 0.2126 * back.red() + 0.7152 * back.green() + 0.0722 * back.blue();
    it->setForeground(luminance < 128 ? QColor(Qt::white) : Theme::text());
}

unsigned int FlexGrid::CellBackColor(int row, int column) const
{
    const QTableWidgetItem* it = item(row, column);
    if (!it || it->background().style() == Qt::NoBrush)
        return 0xFFFFFF;
    return Theme::toBgr(it->background().color());
}

QString FlexGrid::TextMatrix(int row, int column) const
{
    const QTableWidgetItem* it = item(row, column);
    if (!it)
        return QString();
    const QVariant given = it->data(kGivenText);
    return given.isValid() ? given.toString() : it->text();
}

void FlexGrid::setTextMatrix(int row, int column, const QString& text)
{
    QTableWidgetItem* it = cell(row, column);
    if (!it)
        return;
    it->setData(kGivenText, text);
    QString shown = text;
    shown.replace(QLatin1String("\r\n"), QLatin1String("\n")).replace(QLatin1Char('\r'), QLatin1Char('\n'));
    it->setText(shown);
}

qint32 FlexGrid::RowData(int row) const
{
    const QTableWidgetItem* it = item(row, 0);
    return it ? it->data(kRowData).toInt() : 0;
}

void FlexGrid::setRowData(int row, qint32 data)
{
    if (QTableWidgetItem* it = cell(row, 0))
        it->setData(kRowData, data);
}

void FlexGrid::setRowHeight(int row, int height)
{
    QTableWidget::setRowHeight(row, height < 0 ? m_defaultRowHeight : height);
}

void FlexGrid::AddItem(const QString& text, int index)
{
    const int at = index < 0 || index > rowCount() ? rowCount() : index;
    insertRow(at);
    setTextMatrix(at, 0, text);
}

void FlexGrid::RemoveItem(int index)
{
    if (index >= 0 && index < rowCount())
        removeRow(index);
}

} // namespace plat
