#include "SourceFiles.h"

#include "platform/Cp1252.h"

#include <QFile>
#include <QFileInfo>
#include <QHash>

#include <algorithm>
#include <limits>

namespace cfgbuild {

namespace {

struct Line {
    int number;
    QString text;
};

struct Source {
    QString name;          // the file's name, as messages show it
    QVector<Line> lines;   // every line but blank ones, comments included

    [[noreturn]] void fail(int line, const QString& why) const
    {
        throw BuildError(QStringLiteral("%1:%2: %3").arg(name).arg(line).arg(why));
    }
};

bool isComment(const QString& line)
{
    return line.startsWith(QLatin1Char('#'));
}

Source load(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw BuildError(QStringLiteral("%1: cannot be read (%2)").arg(path, file.errorString()));
    Source src{QFileInfo(path).fileName(), {}};
    const QList<QByteArray> raw = file.readAll().split('\n');
    for (int i = 0; i < raw.size(); ++i) {
        QString text = QString::fromUtf8(raw[i]);
        if (text.endsWith(QLatin1Char('\r')))
            text.chop(1);
        if (!text.trimmed().isEmpty())
            src.lines.append({i + 1, text});
    }
    return src;
}

void requireCp1252(const Source& src, int line, const QString& text, const QString& where)
{
    for (const QChar c : text)
        if (!plat::Cp1252::canEncode(c))
            src.fail(line, QStringLiteral("%1 holds the character U+%2, which Windows-1252 cannot hold")
                               .arg(where)
                               .arg(c.unicode(), 4, 16, QLatin1Char('0')));
}

qint64 wholeNumber(const Source& src, int line, const QString& cell, const QString& what, qint64 min, qint64 max)
{
    bool ok = false;
    const qint64 v = cell.trimmed().toLongLong(&ok);
    if (!ok || v < min || v > max)
        src.fail(line, QStringLiteral("%1 \"%2\" is not a whole number from %3 to %4").arg(what, cell).arg(min).arg(max));
    return v;
}

} // namespace

TextTable readTexts(const QString& path)
{
    const Source src = load(path);
    TextTable table;
    int headerLine = 0;
    QString group;
    QHash<qint64, int> seen;
    for (const Line& l : src.lines) {
        if (isComment(l.text)) {
            group = l.text.mid(1).trimmed();
            continue;
        }
        const QStringList cells = l.text.split(QLatin1Char('\t'));
        if (!headerLine) {
            headerLine = l.number;
            if (cells.size() < 2 || cells[0].trimmed().compare(QLatin1String("id"), Qt::CaseInsensitive) != 0)
                src.fail(l.number, QStringLiteral("the header must be \"id\" and one column name per language"));
            for (int c = 1; c < cells.size(); ++c) {
                const QString name = cells[c].trimmed();
                if (name.isEmpty())
                    src.fail(l.number, QStringLiteral("empty language name in column %1").arg(c + 1));
                for (const char* reserved : {"Id", "Category", "Comment"})
                    if (name.compare(QLatin1String(reserved), Qt::CaseInsensitive) == 0)
                        src.fail(l.number, QStringLiteral("\"%1\" cannot name a language").arg(name));
                if (table.languages.contains(name, Qt::CaseInsensitive))
                    src.fail(l.number, QStringLiteral("language \"%1\" named twice").arg(name));
                requireCp1252(src, l.number, name, QStringLiteral("the language name"));
                table.languages << name;
            }
            continue;
        }
        if (cells.size() != table.languages.size() + 1)
            src.fail(l.number, QStringLiteral("%1 cells where the header has %2").arg(cells.size()).arg(table.languages.size() + 1));
        // A text meant to be empty is empty in every language; one empty
        // among others is a translation missing.
        const bool meantEmpty = std::all_of(cells.cbegin() + 1, cells.cend(), [](const QString& c) { return c.isEmpty(); });
        for (int c = 0; c < (meantEmpty ? 1 : cells.size()); ++c)
            if (cells[c].trimmed().isEmpty())
                src.fail(l.number, QStringLiteral("empty cell in column %1 (%2)")
                                       .arg(c + 1)
                                       .arg(c == 0 ? QStringLiteral("id") : table.languages[c - 1]));
        TextRow row;
        row.id = wholeNumber(src, l.number, cells[0], QStringLiteral("id"), 0, std::numeric_limits<qint32>::max());
        if (const auto it = seen.constFind(row.id); it != seen.cend())
            src.fail(l.number, QStringLiteral("duplicate id %1 (first on line %2)").arg(row.id).arg(it.value()));
        seen.insert(row.id, l.number);
        row.group = group;
        for (int c = 1; c < cells.size(); ++c) {
            requireCp1252(src, l.number, cells[c], QStringLiteral("the text of %1").arg(table.languages[c - 1]));
            row.texts << cells[c];
        }
        table.rows.append(row);
    }
    if (!headerLine)
        throw BuildError(QStringLiteral("%1: no header line").arg(src.name));
    return table;
}

QVector<ConfigRow> readConfig(const QString& path)
{
    const Source src = load(path);
    QVector<ConfigRow> rows;
    QHash<qint32, int> seen;
    for (const Line& l : src.lines) {
        if (isComment(l.text))
            continue;
        const QStringList cells = l.text.split(QLatin1Char('\t'));
        if (cells.size() < 2 || cells.size() > 3)
            src.fail(l.number, QStringLiteral("expected key, value and comment, found %1 cells").arg(cells.size()));
        ConfigRow row;
        row.key = qint32(wholeNumber(src, l.number, cells[0], QStringLiteral("key"),
                                     std::numeric_limits<qint32>::min(), std::numeric_limits<qint32>::max()));
        if (const auto it = seen.constFind(row.key); it != seen.cend())
            src.fail(l.number, QStringLiteral("duplicate key %1 (first on line %2)").arg(row.key).arg(it.value()));
        seen.insert(row.key, l.number);
        row.value = cells[1];
        requireCp1252(src, l.number, row.value, QStringLiteral("the value"));
        if (cells.size() == 3)
            row.comment = cells[2];
        rows.append(row);
    }
    return rows;
}

QVector<SoundRow> readSounds(const QString& path)
{
    const Source src = load(path);
    QVector<SoundRow> rows;
    for (const Line& l : src.lines) {
        if (isComment(l.text))
            continue;
        const QStringList cells = l.text.split(QLatin1Char('\t'));
        if (cells.size() != 3)
            src.fail(l.number, QStringLiteral("expected number, name and definition, found %1 cells").arg(cells.size()));
        SoundRow row;
        row.number = int(wholeNumber(src, l.number, cells[0], QStringLiteral("sound number"), 1, 9999));
        // The sound settings step from 1 to the highest number: no gap, no repeat.
        if (row.number != rows.size() + 1)
            src.fail(l.number, QStringLiteral("sound number %1 where %2 comes next").arg(row.number).arg(rows.size() + 1));
        row.name = cells[1].trimmed();
        row.definition = cells[2].trimmed();
        if (row.definition.isEmpty())
            src.fail(l.number, QStringLiteral("empty definition"));
        row.line = l.number;
        rows.append(row);
    }
    if (rows.isEmpty())
        throw BuildError(QStringLiteral("%1: no sound").arg(src.name));
    return rows;
}

} // namespace cfgbuild
