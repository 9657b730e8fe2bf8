#pragma once
// A fixed-width text record: every field left-aligned, cut or padded with
// blanks to its width, fields that nobody sets left blank. The trace, history
// and printed lines are all built this way.

#include <QString>

class FixedRecord {
public:
    explicit FixedRecord(int length) : m_text(length, QLatin1Char(' ')) {}

    // Places value at pos, cut or padded to width. A NUL (a text that was never
    // assigned) becomes a blank, so that no NUL byte reaches a text file, and so
    // do CR and LF, which would split the line in two.
    void setField(int pos, int width, const QString& value);
    // Places text at pos as it is (a line break that the layout itself holds).
    void placeRaw(int pos, const QString& text);
    QString field(int pos, int width) const { return m_text.mid(pos, width); }

    int length() const { return int(m_text.size()); }
    const QString& text() const { return m_text; }

    // n in at least digits digits, zero-filled, a minus sign before a negative
    // number ("000042", "-000042").
    static QString digits(qint64 n, int digits);

private:
    QString m_text;
};
