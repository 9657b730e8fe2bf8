#pragma once
// Interface of StringArray: a growable list of texts, optionally kept sorted.

#include "platform/Component.h"

#include <QString>
#include <cstdint>

namespace VexLib22 {

struct _StringArray : plat::IUnknown {
    virtual int32_t Count() = 0;
    virtual void setSorted(bool sorted) = 0;
    virtual bool Sorted() = 0;
    virtual void Add(const QString& sNewString) = 0;
    virtual void Delete(int32_t lIndex) = 0;
    virtual void DeleteAll() = 0;
    virtual void InsertAt(int32_t lIndex, const QString& sNewString) = 0;
    virtual QString Item(int32_t lIndex) = 0;
    virtual void SetAt(int32_t lIndex, const QString& sString) = 0;
    virtual void SetCount(int32_t lIndex) = 0;

protected:
    ~_StringArray() = default;
};

} // namespace VexLib22
