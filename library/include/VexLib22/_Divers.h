#pragma once
// Interface of Divers: separators, type-aware minimum and maximum, clamping,
// reading a number typed in either notation, rounding up, replacing a text,
// starting a program and waiting for its end.

#include "platform/Component.h"
#include "platform/Values.h"

#include <QString>
#include <cstdint>

namespace VexLib22 {

struct _Divers : plat::IUnknown {
    virtual QString SepList() = 0;
    virtual QString SepDec() = 0;
    virtual QString SepMil() = 0;
    virtual plat::Value Mini(const plat::Value& ValA, const plat::Value& ValB) = 0;
    virtual plat::Value Maxi(const plat::Value& ValA, const plat::Value& ValB) = 0;
    // Clamps Valeur in place; the bounds are left as they are.
    virtual void Borner(plat::Value& Valeur, const plat::Value& ValMin, const plat::Value& ValMax) = 0;
    virtual float Num(const QString& ValTxt) = 0;
    virtual int32_t Ceiling(double Num) = 0;
    virtual plat::Value Remplace(const QString& Original, const QString& Rech, const QString& Rempl) = 0;
    // Masked (start hidden) has no meaning for the programs of this system and is ignored.
    virtual bool LaunchAndWaitForApp(const QString& AppName, const QString& AppDir, const QString& CmdLine,
                                     bool Masked = false) = 0;

protected:
    ~_Divers() = default;
};

} // namespace VexLib22
