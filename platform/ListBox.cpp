#include "platform/ListBox.h"

#include "platform/RtError.h"

namespace plat {

ListBox::ListBox(QWidget* parent) : QListWidget(parent)
{
    setSelectionMode(QAbstractItemView::SingleSelection);
    connect(this, &QListWidget::currentRowChanged, this, [this] {
        if (!m_filling)
            emit Click();
    });
}

void ListBox::setListIndex(int index)
{
    if (index < -1 || index >= count())
        plat::raise(rt::InvalidPropertyValue);
    if (index == currentRow())
        return;
    setCurrentRow(index);
    if (index < 0)
        clearSelection();
}

QString ListBox::List(int index) const
{
    const QListWidgetItem* it = item(index);
    return it ? it->text() : QString();
}

void ListBox::AddItem(const QString& text)
{
    m_filling = true;
    addItem(text);
    m_filling = false;
}

void ListBox::Clear()
{
    m_filling = true;
    clear();
    m_filling = false;
}

} // namespace plat
