#pragma once
// The entries of one history file as the viewer holds them: the file, kept
// open, and where the line of each entry lies in it, found by one reading of
// the whole file. An entry is read again and made its two-line screen line
// only when it is asked for, so that a busy month opens in about the time it
// takes to read it and costs no more memory than its line positions.
//
// The entries are those of the file as it was read: lines appended later lie
// beyond them, and a file removed or renamed meanwhile stays readable.

#include <QString>

#include <memory>
#include <vector>

class QFile;

class HistoricEntries {
public:
    // Where one line lies in the file, without its line end.
    struct Span {
        qint64 start;
        qint64 length;
    };

    HistoricEntries() = default;
    HistoricEntries(std::shared_ptr<QFile> file, std::vector<Span> lines);

    qsizetype size() const { return qsizetype(m_lines.size()); }
    bool isEmpty() const { return m_lines.empty(); }
    // Entry i (0 to size() - 1) as its screen line; blank where the file no
    // longer holds it.
    QString at(qsizetype i) const;

private:
    std::shared_ptr<QFile> m_file;
    std::vector<Span> m_lines;
};
