#pragma once

#include "VexLib22/VexLib22.h"
#include "VexLib22/_Divers.h"

#include <QStringList>

namespace VexLib22 {

class Divers : public plat::ComObject<_Divers, IID_Divers> {
public:
    QString SepList() override;
    QString SepDec() override;
    QString SepMil() override;
    plat::Value Mini(const plat::Value& ValA, const plat::Value& ValB) override;
    plat::Value Maxi(const plat::Value& ValA, const plat::Value& ValB) override;
    void Borner(plat::Value& Valeur, const plat::Value& ValMin, const plat::Value& ValMax) override;
    float Num(const QString& ValTxt) override;
    int32_t Ceiling(double Num) override;
    plat::Value Remplace(const QString& Original, const QString& Rech, const QString& Rempl) override;
    bool LaunchAndWaitForApp(const QString& AppName, const QString& AppDir, const QString& CmdLine,
                             bool Masked = false) override;

    // Splits a command line as a started program receives it: blanks
    // separate arguments, double quotes group them, backslashes escape a
    // quote only when they stand right before it.
    static QStringList splitCommandLine(const QString& commandLine);

private:
    // Whether a counts as greater than b by the kinds of the two values.
    static bool greater(const plat::Value& a, const plat::Value& b);

    QString m_sepList, m_sepDec, m_sepMil;   // read once, on first use
};

} // namespace VexLib22
