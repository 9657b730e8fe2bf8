#pragma once

#include "VexLib22/VexLib22.h"
#include "VexLib22/_StringArray.h"

#include <QCollator>
#include <QStringList>

#include <optional>

namespace VexLib22 {

// A list of texts, 0-based. When Sorted, Add keeps ascending order in
// case-insensitive comparison by the collation of the regional locale
// ("e", "é" and "f" in this order where the locale has accents).
class StringArray : public plat::ComObject<_StringArray, IID_StringArray> {
public:
    int32_t Count() override;
    void setSorted(bool sorted) override;
    bool Sorted() override;
    void Add(const QString& sNewString) override;
    void Delete(int32_t lIndex) override;
    void DeleteAll() override;
    void InsertAt(int32_t lIndex, const QString& sNewString) override;
    QString Item(int32_t lIndex) override;
    void SetAt(int32_t lIndex, const QString& sString) override;
    void SetCount(int32_t lIndex) override;

private:
    QStringList m_items;   // always exactly Count elements
    bool m_sorted = false;
    std::optional<QCollator> m_collator;  // made at the first sorted Add
};

} // namespace VexLib22
