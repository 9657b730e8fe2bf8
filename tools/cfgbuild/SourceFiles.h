#pragma once
// Reading the text sources of the configuration database (data/*.tsv):
// tab-separated UTF-8, "#" comment lines. Every refusal names file and line.

#include <QString>
#include <QStringList>
#include <QVector>

#include <stdexcept>

namespace cfgbuild {

// A source that cannot be built into the database; the message says where and why.
class BuildError : public std::runtime_error {
public:
    explicit BuildError(const QString& message) : std::runtime_error(message.toStdString()), m_message(message) {}
    const QString& message() const { return m_message; }

private:
    QString m_message;
};

struct TextRow {
    qint64 id = 0;
    QString group;        // the comment line that heads the row's group
    QStringList texts;    // one per language
};

struct TextTable {
    QStringList languages;
    QVector<TextRow> rows;
};

struct ConfigRow {
    qint32 key = 0;
    QString value;
    QString comment;
};

struct SoundRow {
    int number = 0;
    QString name;
    QString definition;
    int line = 0;
};

// Refuses a missing header, a wrong number of cells, an empty cell (but for
// a text empty in every language), an id that is not a whole number, a
// duplicate id and a text that Windows-1252 cannot hold.
TextTable readTexts(const QString& path);
// Refuses a bad or duplicate key and a value that Windows-1252 cannot hold.
QVector<ConfigRow> readConfig(const QString& path);
// Refuses a bad or duplicate number and numbers that do not run 1, 2, 3 ...
QVector<SoundRow> readSounds(const QString& path);

} // namespace cfgbuild
