#pragma once
// The rules of the value picker without its window: the value list grammar,
// which entry is selected, the arrow moves, and how the module editor's
// library and instruction lists follow the value being picked.

#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

class ListInputModel {
public:
    // The text of an id as stored, "|" kept (the words for No and Yes).
    using TextLookup = std::function<QString(int id)>;

    // Without a lookup the texts come from the configuration database.
    explicit ListInputModel(TextLookup texts = {});

    // The entries a value list stands for:
    //   "*|first|last"  the whole numbers first..last (rounded), none when first > last
    //   "@|v1|v2..."    the values as they stand
    //   "$"             the words for No and Yes
    //   anything else   none
    // An empty list, or a range without its bounds, raises subscript out of range (9).
    static QStringList parse(const QString& valuesList, const TextLookup& texts);

    // Empties the entries, then fills them from the list and selects the last
    // entry equal to current (none when no entry matches). On an error the
    // entries stay empty and the error is raised.
    void setValuesList(const QString& valuesList, const QString& current);

    const QStringList& entries() const { return m_entries; }
    int count() const { return int(m_entries.size()); }
    // The selected index, -1 for none.
    int selected() const { return m_selected; }
    QString selectedText() const;
    // Selects an entry; -1 clears the selection. Out of range raises 380.
    void select(int index);

    // The arrows: true when the selection moved.
    bool up();
    bool down();

    // Which of the module editor's lists follows a parameter number (its
    // txtNoParam text): 8 the library texts, 9 the instruction texts.
    enum class EditorList { None, Biblio, Consigne };
    static EditorList editorListOf(const QString& paramNumber);
    // The entry of an editor list of entryCount entries that stands for a
    // number (number - 1; 0 clears it), or nothing when the list is left
    // alone: a number beyond the list, or below 0.
    static std::optional<int> editorListIndex(const QString& number, int entryCount);
    // On cancel: when the picked value is within the list, the entry of the
    // number the editor shows (its parameter label); else nothing.
    static std::optional<int> editorRestoreIndex(const QString& picked, const QString& shown, int entryCount);

private:
    TextLookup m_texts;
    QStringList m_entries;
    int m_selected = -1;
};
