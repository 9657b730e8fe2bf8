#pragma once
// Interface of WinPlace: keeps a form's position in an INI file (one section
// per form name), centres a form, puts it in or out of the topmost band and
// activates a window by its caption. A form is a top-level QWidget; its
// position and size are in twips (15 to a pixel).

#include "platform/Component.h"

#include <QString>
#include <cstdint>

class QObject;

namespace VexLib22 {

struct _WinPlace : plat::IUnknown {
    // The window placement (state and normal rectangle) kept under "Flags",
    // "ShowCmd", "MinX" ... "NormB"; nothing is done while "Flags" is -1.
    virtual void RestoreWindow(QObject* f, const QString& sIniFileName) = 0;
    virtual void SaveWindow(QObject* f, const QString& sIniFileName) = 0;
    // The form's own coordinates under "X", "Y", "H", "L" and "Max". Restoring
    // never fails: a step that cannot be done is skipped.
    virtual void RestorePos(QObject* f, const QString& sIniFileName) = 0;
    virtual void StorePos(QObject* f, const QString& sIniFileName) = 0;
    // Centres the form on the primary screen.
    virtual void CentrerEcran(QObject* f) = 0;
    // Into and out of the topmost band; the form stays where and as visible as it was.
    virtual void SetToTopmost(QObject* f) = 0;
    virtual void SetToNotTopmost(QObject* f) = 0;
    // Brings the first visible window of this program whose caption begins
    // with AppCaption (or is AppCaption, with Exact), case ignored, to the
    // front and returns its handle; 0 when none matches. Other programs'
    // windows are out of reach.
    virtual int32_t AppActivateEx(const QString& AppCaption, bool Exact = false) = 0;

protected:
    ~_WinPlace() = default;
};

} // namespace VexLib22
