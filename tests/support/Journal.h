#pragma once
// One line per call of a recording double, in order ("history 42" for the
// event number, "horn 99" for a level), shared by the doubles of one test so
// that it can read the order of the steps.

#include <QStringList>

namespace testing_support {

class Journal {
public:
    void add(const QString& entry) { m_entries << entry; }
    const QStringList& entries() const { return m_entries; }
    void clear() { m_entries.clear(); }

private:
    QStringList m_entries;
};

} // namespace testing_support
