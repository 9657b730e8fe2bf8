#include "program/runtime/HistoricGrid.h"

#include "platform/Theme.h"

#include <QAbstractListModel>
#include <QPainter>
#include <QStyledItemDelegate>

// The entries as the rows of the list.
class HistoricEntriesModel : public QAbstractListModel {
public:
    using QAbstractListModel::QAbstractListModel;

    int rowCount(const QModelIndex& parent = {}) const override
    {
        return parent.isValid() ? 0 : int(m_entries.size());
    }

    QVariant data(const QModelIndex& index, int role) const override
    {
        if (role != Qt::DisplayRole || !index.isValid() || index.row() >= rowCount())
            return {};
        return m_entries.at(index.row());
    }

    void setEntries(HistoricEntries entries)
    {
        beginResetModel();
        m_entries = std::move(entries);
        endResetModel();
    }

private:
    HistoricEntries m_entries;
};

namespace {

constexpr int kPadding = 3;

// Two lines of the row's text, a rule under each row.
class TwoLineDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex&) const override
    {
        return QSize(option.rect.width(), 2 * option.fontMetrics.height() + 2 * kPadding + 1);
    }

    void paint(QPainter* p, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        const bool selected = option.state & QStyle::State_Selected;
        p->fillRect(option.rect, selected ? plat::Theme::accent() : plat::Theme::panel());
        p->setPen(selected ? QColor(Qt::white) : plat::Theme::text());
        p->setFont(option.font);
        const QString text = index.data().toString();
        const int line = option.fontMetrics.height();
        const QRect first(option.rect.left() + kPadding, option.rect.top() + kPadding, option.rect.width() - 2 * kPadding,
                          line);
        p->drawText(first, Qt::AlignLeft | Qt::AlignVCenter, HistoricGrid::FirstLine(text));
        p->drawText(first.translated(0, line), Qt::AlignLeft | Qt::AlignVCenter, HistoricGrid::SecondLine(text));
        p->setPen(plat::Theme::window());
        p->drawLine(option.rect.bottomLeft(), option.rect.bottomRight());
    }
};

} // namespace

HistoricGrid::HistoricGrid(QWidget* parent) : QListView(parent), m_model(new HistoricEntriesModel(this))
{
    setModel(m_model);
    setItemDelegate(new TwoLineDelegate(this));
    setUniformItemSizes(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
}

int HistoricGrid::Rows() const
{
    return m_model->rowCount();
}

void HistoricGrid::setRows(int rows)
{
    if (rows == 0)
        m_model->setEntries({});
}

int HistoricGrid::Row() const
{
    const QModelIndex i = currentIndex();
    return i.isValid() ? i.row() : -1;
}

void HistoricGrid::setRow(int row)
{
    if (row < 0 || row >= Rows()) {
        setCurrentIndex(QModelIndex());
        return;
    }
    setCurrentIndex(m_model->index(row));
    // Also before the list is first shown.
    scrollTo(currentIndex());
}

QString HistoricGrid::Text() const
{
    return TextMatrix(Row());
}

QString HistoricGrid::TextMatrix(int row) const
{
    return row >= 0 && row < Rows() ? m_model->index(row).data().toString() : QString();
}

void HistoricGrid::setEntries(HistoricEntries entries)
{
    m_model->setEntries(std::move(entries));
}

QString HistoricGrid::FirstLine(const QString& text)
{
    return text.left(FirstLineLength);
}

QString HistoricGrid::SecondLine(const QString& text)
{
    return text.mid(SecondLineStart);
}
