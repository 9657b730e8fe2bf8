#include "program/core/ListInputModel.h"

#include "platform/RtError.h"
#include "platform/Values.h"
#include "program/core/Config.h"
#include "program/core/TextIds.h"

ListInputModel::ListInputModel(TextLookup texts) : m_texts(std::move(texts))
{
    if (!m_texts)
        m_texts = [](int id) { return Config::GetText(id, true); };
}

QStringList ListInputModel::parse(const QString& valuesList, const TextLookup& texts)
{
    // An empty string has no first item at all.
    if (valuesList.isEmpty())
        plat::raise(plat::rt::SubscriptOutOfRange);
    const QStringList items = valuesList.split(QLatin1Char('|'), Qt::KeepEmptyParts, Qt::CaseSensitive);
    const QString& kind = items.front();
    QStringList entries;
    if (kind == QLatin1String("*")) {
        if (items.size() < 3)
            plat::raise(plat::rt::SubscriptOutOfRange);
        const int32_t first = plat::CLng(plat::Val(items[1]));
        const int32_t last = plat::CLng(plat::Val(items[2]));
        for (int64_t v = first; v <= last; ++v)
            entries << QString::number(v);
    } else if (kind == QLatin1String("@")) {
        entries = items.mid(1);
    } else if (kind == QLatin1String("$")) {
        entries << texts(TextIds::No) << texts(TextIds::Yes);
    }
    return entries;
}

void ListInputModel::setValuesList(const QString& valuesList, const QString& current)
{
    m_entries.clear();
    m_selected = -1;
    m_entries = parse(valuesList, m_texts);
    // Every match selects as it is added, so the last one stays selected.
    m_selected = int(m_entries.lastIndexOf(current));
}

QString ListInputModel::selectedText() const
{
    return m_selected >= 0 ? m_entries[m_selected] : QString();
}

void ListInputModel::select(int index)
{
    if (index < -1 || index >= count())
        plat::raise(plat::rt::InvalidPropertyValue);
    m_selected = index;
}

bool ListInputModel::up()
{
    if (m_selected < 1)
        return false;
    --m_selected;
    return true;
}

bool ListInputModel::down()
{
    if (m_selected >= count() - 1)
        return false;
    ++m_selected;
    return true;
}

ListInputModel::EditorList ListInputModel::editorListOf(const QString& paramNumber)
{
    const double n = plat::Val(paramNumber);
    if (n == 9)
        return EditorList::Consigne;
    if (n == 8)
        return EditorList::Biblio;
    return EditorList::None;
}

std::optional<int> ListInputModel::editorListIndex(const QString& number, int entryCount)
{
    const double v = plat::Val(number);
    // A negative number has no entry; leave the list as it is rather than fail.
    if (v > entryCount || v < 0)
        return std::nullopt;
    return int(plat::CLng(v)) - 1;
}

std::optional<int> ListInputModel::editorRestoreIndex(const QString& picked, const QString& shown, int entryCount)
{
    if (plat::Val(picked) > entryCount)
        return std::nullopt;
    return editorListIndex(shown, entryCount);
}
