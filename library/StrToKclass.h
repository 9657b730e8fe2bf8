#pragma once

#include "VexLib22/VexLib22.h"
#include "VexLib22/_Divers.h"
#include "VexLib22/_StrToKclass.h"

namespace VexLib22 {

// A tokenizer in the manner of strtok: the text and the position are kept
// between calls, so each user that must not disturb another keeps its own.
class StrToKclass : public plat::ComObject<_StrToKclass, IID_StrToKclass> {
public:
    QString Strtok(const QString& Chaine = QString(), const std::optional<QString>& Separ = std::nullopt) override;

private:
    QString m_text;
    qsizetype m_pos = 1;        // 1-based
    qsizetype m_lastSep = 0;    // where the last separator was found
    QString m_sep;
    QString m_token;
    plat::ComPtr<_Divers> m_divers;   // for the list separator, made on first need
};

} // namespace VexLib22
