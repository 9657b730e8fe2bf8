#pragma once
// The editing of one set of numbered texts of the configuration (the library
// texts or the instruction texts), apart from the screen: a working copy of
// every text at its fixed length, the list lines, the moves of the current
// number, copy and paste through the editor's own clipboard, the keyboard
// edit and the import, and the comparison and write back on leaving.
//
// A text never assigned holds NUL characters: it shows as blanks and counts
// as blanks when compared, so only what the operator changes is asked about.

#include <QByteArray>
#include <QString>
#include <vector>

class ConfigClass;

class TextEditorModel {
public:
    struct Kind {
        int count;           // texts 1..count
        int length;          // characters of each text
        int pageStep;        // the page buttons' step
        QChar lineBreak;     // how a line break shows in a list line
        QString (ConfigClass::*get)(int) const;
        void (ConfigClass::*set)(int, const QString&);
    };
    static const Kind Library;
    static const Kind Instructions;

    // What outlives the screen while the program runs: the number last
    // shown (0 before the first visit) and the clipboard.
    struct Memory {
        int current = 0;
        QString clipboard;
    };

    TextEditorModel(const Kind& kind, Memory& memory) : m_kind(kind), m_memory(memory) {}

    const Kind& kind() const { return m_kind; }

    // The working copy := the configuration's texts.
    void Load(const ConfigClass& config);
    // Working text n at its fixed length; "" outside 1..count.
    QString Text(int n) const;

    // The list line: "nn - " and the first 64 characters trimmed, line
    // breaks shown as the kind's sign.
    QString Line(int n) const;
    // "nn - " and the text as stored, blanks kept.
    QString StoredLine(int n) const;
    // The whole text with its line breaks (its padding is not shown).
    QString Preview(int n) const;
    // The text as the keyboard opens on it: without its trailing blanks.
    QString KeyboardText(int n) const;

    int Current() const { return m_memory.current; }
    void setCurrent(int n) { m_memory.current = n; }
    // The number shown when the screen opens: the last one, 1 the first time.
    int Opening() const;
    int Previous(int n) const;
    int Next(int n) const;
    int PageBack(int n) const;
    int PageForward(int n) const;

    void Copy(int n);
    // False (nothing pasted) while the clipboard is empty.
    bool Paste(int n);
    void Clear(int n);
    // The keyboard's text, padded or cut to the length; a text that is what
    // the keyboard opened on leaves the entry as it was.
    void SetTyped(int n, const QString& typed);
    // The first length bytes of a file, Windows-1252; NUL bytes and what the
    // file lacks become blanks.
    void Import(int n, const QByteArray& bytes);

    // Some text differs from the configuration's.
    bool Changed(const ConfigClass& config) const;
    // Every differing text into the configuration.
    void WriteTo(ConfigClass& config) const;

    static constexpr int ListedCharacters = 64;

private:
    bool valid(int n) const { return n >= 1 && n <= m_kind.count; }
    QString fixed(const QString& text) const;
    bool differs(const ConfigClass& config, int n) const;
    QString& entry(int n) { return m_texts[size_t(n - 1)]; }

    const Kind& m_kind;
    Memory& m_memory;
    std::vector<QString> m_texts;
};
