#pragma once
// A control array: like controls under one name, addressed by index. Each
// element's object name is "name(index)" so that tests and screenshots find
// it. Rows built at run time are copies of an invisible element 0, made by
// a copy function that the form gives.

#include <QString>
#include <QWidget>
#include <functional>
#include <map>

#include "platform/RtError.h"

namespace plat {

template <class T>
class ControlArray {
public:
    explicit ControlArray(QString name) : m_name(std::move(name)) {}

    const QString& name() const { return m_name; }

    // Adds a designed element.
    T* add(int index, T* control)
    {
        control->setObjectName(QString("%1(%2)").arg(m_name).arg(index));
        control->setProperty("Index", index);
        m_items[index] = control;
        return control;
    }

    // Creates element index as a copy of element 0 (the copier copies the
    // properties that matter); the copy starts hidden until its caller shows it.
    T* load(int index, const std::function<T*(T* element0)>& copier)
    {
        if (m_items.count(index))
            throw rtError(360 /* object already loaded */);
        T* copy = copier(item(0));
        copy->setVisible(false);
        return add(index, copy);
    }

    // Removes a run-time element (never element 0).
    void unload(int index)
    {
        auto it = m_items.find(index);
        if (it == m_items.end() || index == 0)
            return;
        it->second->deleteLater();
        m_items.erase(it);
    }

    bool exists(int index) const { return m_items.count(index) != 0; }
    // Raises run-time error 340 (element does not exist) for a missing index.
    T* item(int index) const
    {
        auto it = m_items.find(index);
        if (it == m_items.end())
            throw RtError(340, QString("Control array element '%1' doesn't exist").arg(index));
        return it->second;
    }
    T* operator()(int index) const { return item(index); }

    int count() const { return int(m_items.size()); }
    int lbound() const { return m_items.empty() ? 0 : m_items.begin()->first; }
    int ubound() const { return m_items.empty() ? -1 : m_items.rbegin()->first; }
    auto begin() const { return m_items.begin(); }
    auto end() const { return m_items.end(); }

    // The index of an element, or -1.
    int indexOf(const QObject* control) const
    {
        for (const auto& [i, c] : m_items)
            if (c == control)
                return i;
        return -1;
    }

private:
    QString m_name;
    std::map<int, T*> m_items;
};

} // namespace plat
