#pragma once
// A list box with the selection as an index (ListIndex, -1 for none). Click
// runs at once whenever the index changes, set by the program or touched by
// the operator, and never when it is set to the index it already has; filling
// and clearing the list run nothing.

#include <QListWidget>

namespace plat {

class ListBox : public QListWidget {
    Q_OBJECT
public:
    explicit ListBox(QWidget* parent = nullptr);

    int ListIndex() const { return currentRow(); }
    // -1 clears the selection; an index beyond the entries raises invalid property value (380).
    void setListIndex(int index);
    int ListCount() const { return count(); }
    // The text of entry index; "" outside the entries.
    QString List(int index) const;
    // The selected entry's text; "" when none is selected.
    QString Text() const { return List(ListIndex()); }
    void AddItem(const QString& text);
    void Clear();

signals:
    void Click();

private:
    bool m_filling = false;
};

} // namespace plat
