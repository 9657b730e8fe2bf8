#pragma once
// The editing of the on-screen keyboard without its window: a text and its
// caret, the character pages by Windows-1252 code, and the editing keys. A
// line break is the pair CR LF and the keys treat it as one character: the
// caret never stops between its CR and its LF. A lone CR or LF takes the
// character beside it along, as a line break's half would.

#include <QString>

class KeyboardModel {
public:
    // The editing keys, in the order of their buttons.
    enum Key { Home = 0, Left = 1, Right = 2, End = 3, Backspace = 4, Delete = 5, Clear = 6, Space = 7 };
    static constexpr int kKeyCount = 8;
    // Captions of the editing keys, split at the commas (the last is the space bar).
    static constexpr const char* kKeyCaptions = "HOME,<--,-->,END,<==X,DEL,CLR,";

    // Character keys per page and the pages (codes 32-63 ... 224-255).
    static constexpr int kKeysPerPage = 32;
    static constexpr int kPageCount = 7;
    static constexpr int kFirstRangeBase = 64;
    // The code of key 0 of page k.
    static int rangeBaseOfPage(int page) { return (page + 1) * kKeysPerPage; }
    // The character of an ANSI code, and the caption of its key ("&" doubled
    // so that it is not taken as an access key).
    static QChar charOfCode(int code);
    static QString keyCaption(int code);

    KeyboardModel() = default;
    KeyboardModel(QString text, int caret, int maxLength = 0);

    const QString& text() const { return m_text; }
    int caret() const { return m_caret; }
    // 0 means no limit.
    int maxLength() const { return m_maxLength; }

    // Inserts at the caret and moves the caret behind it; refused (false)
    // when it would make the text longer than the maximum length.
    bool insert(const QString& s);
    bool insertCode(int code) { return insert(QString(charOfCode(code))); }
    bool insertLineBreak() { return insert(QStringLiteral("\r\n")); }

    void press(Key key);

private:
    bool lineBreakAt(int pos) const;

    QString m_text;
    int m_caret = 0;
    int m_maxLength = 0;
};
