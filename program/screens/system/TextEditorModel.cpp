#include "program/screens/system/TextEditorModel.h"

#include "platform/Cp1252.h"
#include "platform/Values.h"
#include "program/core/ConfigClass.h"
#include "program/core/Limits.h"

#include <algorithm>

namespace {

const QString kCrLf = QStringLiteral("\r\n");
const QString kSeparator = QStringLiteral(" - ");

// What the operator sees of a stored text: a never-assigned text's NULs are blanks.
QString shown(QString text)
{
    return text.replace(QChar(0), QLatin1Char(' '));
}

QString number(int n)
{
    return QString::number(n).rightJustified(2, QLatin1Char('0'));
}

} // namespace

const TextEditorModel::Kind TextEditorModel::Library{Limits::LibraryTexts, Limits::LibraryTextWidth, 19, QChar(0x00B6), &ConfigClass::Biblio,
                                                     &ConfigClass::setBiblio};
const TextEditorModel::Kind TextEditorModel::Instructions{Limits::InstructionTexts, Limits::InstructionTextWidth, 8, QLatin1Char(' '), &ConfigClass::Consigne,
                                                          &ConfigClass::setConsigne};

void TextEditorModel::Load(const ConfigClass& config)
{
    m_texts.clear();
    for (int n = 1; n <= m_kind.count; ++n)
        m_texts.push_back(fixed((config.*m_kind.get)(n)));
}

QString TextEditorModel::fixed(const QString& text) const
{
    return text.left(m_kind.length).leftJustified(m_kind.length, QLatin1Char(' '));
}

QString TextEditorModel::Text(int n) const
{
    return valid(n) && size_t(n) <= m_texts.size() ? m_texts[size_t(n - 1)] : QString();
}

QString TextEditorModel::Line(int n) const
{
    QString text = shown(Text(n).left(ListedCharacters));
    text.replace(kCrLf, QString(m_kind.lineBreak));
    // A break cut in two by the 64 characters still shows as one line.
    text.replace(QLatin1Char('\r'), QLatin1Char(' ')).replace(QLatin1Char('\n'), QLatin1Char(' '));
    return number(n) + kSeparator + plat::Trim(text);
}

QString TextEditorModel::StoredLine(int n) const
{
    return number(n) + kSeparator + shown(Text(n));
}

QString TextEditorModel::Preview(int n) const
{
    return KeyboardText(n);
}

QString TextEditorModel::KeyboardText(int n) const
{
    return plat::RTrim(shown(Text(n))).toString();
}

int TextEditorModel::Opening() const
{
    return std::max(1, std::min(m_kind.count, m_memory.current));
}

int TextEditorModel::Previous(int n) const
{
    return n >= 2 ? n - 1 : n;
}

int TextEditorModel::Next(int n) const
{
    return n < m_kind.count ? n + 1 : n;
}

int TextEditorModel::PageBack(int n) const
{
    return std::max(n - m_kind.pageStep, 1);
}

int TextEditorModel::PageForward(int n) const
{
    return std::min(m_kind.count, n + m_kind.pageStep);
}

void TextEditorModel::Copy(int n)
{
    if (valid(n))
        m_memory.clipboard = Text(n);
}

bool TextEditorModel::Paste(int n)
{
    if (m_memory.clipboard.isEmpty())
        return false;
    if (valid(n))
        entry(n) = fixed(m_memory.clipboard);
    return true;
}

void TextEditorModel::Clear(int n)
{
    if (valid(n))
        entry(n) = fixed(QString());
}

void TextEditorModel::SetTyped(int n, const QString& typed)
{
    if (valid(n) && typed != KeyboardText(n))
        entry(n) = fixed(typed);
}

void TextEditorModel::Import(int n, const QByteArray& bytes)
{
    if (valid(n))
        entry(n) = fixed(shown(plat::Cp1252::decode(bytes.left(m_kind.length))));
}

bool TextEditorModel::differs(const ConfigClass& config, int n) const
{
    return shown(Text(n)) != shown(fixed((config.*m_kind.get)(n)));
}

bool TextEditorModel::Changed(const ConfigClass& config) const
{
    for (int n = 1; n <= m_kind.count; ++n)
        if (differs(config, n))
            return true;
    return false;
}

void TextEditorModel::WriteTo(ConfigClass& config) const
{
    for (int n = 1; n <= m_kind.count; ++n)
        if (differs(config, n))
            (config.*m_kind.set)(n, Text(n));
}
