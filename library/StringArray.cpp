#include "library/StringArray.h"

#include "library/LibErrors.h"
#include "platform/ComponentClasses.h"
#include "platform/Regional.h"

namespace VexLib22 {

COMPONENT_CLASS(StringArray, _StringArray, CLSID_StringArray, IID_StringArray);

int32_t StringArray::Count() { return int32_t(m_items.size()); }

void StringArray::setSorted(bool sorted)
{
    if (!m_items.isEmpty())
        raiseLibError(Err::SortedNotEmpty);
    m_sorted = sorted;
}

bool StringArray::Sorted() { return m_sorted; }

void StringArray::Add(const QString& sNewString)
{
    if (!m_sorted) {
        m_items.append(sNewString);
        return;
    }
    if (!m_collator) {
        m_collator.emplace(plat::Regional::locale());
        m_collator->setCaseSensitivity(Qt::CaseInsensitive);
    }
    // Behind the nearest element that is less, so before all equal ones.
    qsizetype pos = m_items.size();
    while (pos > 0 && m_collator->compare(m_items[pos - 1], sNewString) >= 0)
        --pos;
    m_items.insert(pos, sNewString);
}

void StringArray::Delete(int32_t lIndex)
{
    if (lIndex < 0 || lIndex >= m_items.size())
        raiseRtError(plat::rt::SubscriptOutOfRange);
    m_items.removeAt(lIndex);
}

void StringArray::DeleteAll() { m_items.clear(); }

void StringArray::InsertAt(int32_t lIndex, const QString& sNewString)
{
    if (m_sorted)
        raiseLibError(Err::InsertSorted);
    if (lIndex < 0 || lIndex > m_items.size())
        raiseRtError(plat::rt::SubscriptOutOfRange);
    m_items.insert(lIndex, sNewString);
}

QString StringArray::Item(int32_t lIndex)
{
    if (lIndex < 0 || lIndex >= m_items.size())
        raiseRtError(plat::rt::SubscriptOutOfRange);
    return m_items[lIndex];
}

void StringArray::SetAt(int32_t lIndex, const QString& sString)
{
    if (m_sorted)
        raiseLibError(Err::SetAtSorted);
    if (lIndex < 0 || lIndex >= m_items.size())
        raiseRtError(plat::rt::SubscriptOutOfRange);
    m_items[lIndex] = sString;
}

void StringArray::SetCount(int32_t lIndex)
{
    if (m_sorted)
        raiseLibError(Err::SetCountSorted);
    if (lIndex < 0)
        raiseRtError(plat::rt::SubscriptOutOfRange);
    // Room for indices 0..n. Cutting below the elements in use drops the rest,
    // so Count never claims elements that are not stored.
    const qsizetype keep = qsizetype(lIndex) + 1;
    if (keep < m_items.size())
        m_items.resize(keep);
    else
        m_items.reserve(keep);
}

} // namespace VexLib22
