#include "library/StrToKclass.h"

#include "library/Divers.h"
#include "platform/ComponentClasses.h"

namespace VexLib22 {

COMPONENT_CLASS(StrToKclass, _StrToKclass, CLSID_StrToKclass, IID_StrToKclass);

QString StrToKclass::Strtok(const QString& Chaine, const std::optional<QString>& Separ)
{
    if (Separ) {
        m_sep = *Separ;
    } else {
        if (!m_divers)
            m_divers = plat::ComPtr<_Divers>::attach(new Divers);
        m_sep = m_divers->SepList();
    }
    if (!Chaine.isEmpty()) {
        m_text = Chaine;
        m_pos = 1;
    }
    if (m_text.isEmpty())
        return QString();

    // An empty separator is never found: the rest is the token.
    const qsizetype p = m_sep.isEmpty() ? -1 : m_text.indexOf(m_sep, m_pos - 1);
    if (p >= 0) {
        m_token = m_text.mid(m_pos - 1, p - (m_pos - 1));
        m_lastSep = p + 1;
        m_pos = p + 1 + m_sep.size();
    } else {
        m_token = m_text.mid(m_pos - 1);
        m_text.clear();
    }
    // Quotes around a token are taken off; a lone quote has nothing inside.
    if (m_token.startsWith('"') && m_token.endsWith('"'))
        m_token = m_token.size() >= 2 ? m_token.mid(1, m_token.size() - 2) : QString();
    return m_token;
}

} // namespace VexLib22
