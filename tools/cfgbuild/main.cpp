// cfgbuild: makes the read-only configuration database PLX2.cfg from the text
// sources of data/ (texts.tsv, config.tsv, sounds.tsv).
//
//     cfgbuild <data folder> <output file>
//
// The file is written under a temporary name and renamed into place, so a
// refused source never leaves a half-built database behind.

#include "SoundSynth.h"
#include "SourceFiles.h"

#include "platform/Database.h"

#include <QCryptographicHash>
#include <QFile>
#include <QFileInfo>

#include <sqlite3.h>

#include <cstdio>

namespace {

using cfgbuild::BuildError;

// The password the program opens the database with.
const QString kPassword = QStringLiteral("9J84");

QString quoted(const QString& identifier)
{
    QString q = identifier;
    q.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + q + QLatin1Char('"');
}

class Writer {
public:
    explicit Writer(const QString& path)
    {
        if (sqlite3_open_v2(QFile::encodeName(path).constData(), &m_db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE,
                            nullptr) != SQLITE_OK)
            fail(QStringLiteral("cannot create %1").arg(path));
    }
    ~Writer() { sqlite3_close_v2(m_db); }

    void exec(const QString& sql)
    {
        char* message = nullptr;
        if (sqlite3_exec(m_db, sql.toUtf8().constData(), nullptr, nullptr, &message) != SQLITE_OK) {
            const QString why = QString::fromUtf8(message);
            sqlite3_free(message);
            fail(why);
        }
    }

    // Inserts one row; a QString is text, a QByteArray a blob, a null QVariant null.
    void insert(const QString& table, const QVariantList& values)
    {
        QStringList marks;
        for (int i = 0; i < values.size(); ++i)
            marks << QStringLiteral("?%1").arg(i + 1);
        const QByteArray sql = QStringLiteral("INSERT INTO %1 VALUES (%2)").arg(quoted(table), marks.join(',')).toUtf8();
        sqlite3_stmt* stmt = nullptr;
        if (sqlite3_prepare_v2(m_db, sql.constData(), -1, &stmt, nullptr) != SQLITE_OK)
            fail(QString::fromUtf8(sqlite3_errmsg(m_db)));
        for (int i = 0; i < values.size(); ++i) {
            const QVariant& v = values[i];
            if (v.isNull()) {
                sqlite3_bind_null(stmt, i + 1);
            } else if (v.typeId() == QMetaType::QByteArray) {
                const QByteArray b = v.toByteArray();
                sqlite3_bind_blob(stmt, i + 1, b.constData(), int(b.size()), SQLITE_TRANSIENT);
            } else if (v.typeId() == QMetaType::QString) {
                const QByteArray t = v.toString().toUtf8();
                sqlite3_bind_text(stmt, i + 1, t.constData(), int(t.size()), SQLITE_TRANSIENT);
            } else {
                sqlite3_bind_int64(stmt, i + 1, v.toLongLong());
            }
        }
        const int rc = sqlite3_step(stmt);
        sqlite3_finalize(stmt);
        if (rc != SQLITE_DONE)
            fail(QString::fromUtf8(sqlite3_errmsg(m_db)));
    }

private:
    [[noreturn]] static void fail(const QString& why) { throw BuildError(QStringLiteral("database: ") + why); }
    sqlite3* m_db = nullptr;
};

QByteArray fileBytes(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void build(const QString& dataFolder, const QString& out)
{
    const QString textsPath = dataFolder + QStringLiteral("/texts.tsv");
    const QString configPath = dataFolder + QStringLiteral("/config.tsv");
    const QString soundsPath = dataFolder + QStringLiteral("/sounds.tsv");
    const cfgbuild::TextTable texts = cfgbuild::readTexts(textsPath);
    const QVector<cfgbuild::ConfigRow> config = cfgbuild::readConfig(configPath);
    const QVector<cfgbuild::SoundRow> sounds = cfgbuild::readSounds(soundsPath);

    QVector<QByteArray> wavs;
    for (const auto& s : sounds) {
        try {
            wavs << cfgbuild::wavFile(cfgbuild::renderSamples(s.definition));
        } catch (const BuildError& e) {
            throw BuildError(QStringLiteral("%1:%2: sound %3: %4")
                                 .arg(QFileInfo(soundsPath).fileName())
                                 .arg(s.line)
                                 .arg(s.number)
                                 .arg(e.message()));
        }
    }

    const QString temp = out + QStringLiteral(".tmp");
    QFile::remove(temp);
    try {
        Writer db(temp);
        db.exec(QStringLiteral("BEGIN"));
        QStringList languageColumns;
        for (const QString& l : texts.languages)
            languageColumns << quoted(l) + QStringLiteral(" TEXT");
        // Columns 0 to 2 are not languages: the id, its range (id / 10000) and the group it belongs to.
        db.exec(QStringLiteral("CREATE TABLE T_Language (\"Id\" INTEGER PRIMARY KEY, \"Category\" INTEGER, "
                               "\"Comment\" TEXT, %1)")
                    .arg(languageColumns.join(QStringLiteral(", "))));
        for (const auto& row : texts.rows) {
            QVariantList values{row.id, row.id / 10000, row.group.isEmpty() ? QVariant() : QVariant(row.group)};
            for (const QString& t : row.texts)
                values << t;
            db.insert(QStringLiteral("T_Language"), values);
        }
        db.exec(QStringLiteral("CREATE TABLE T_Config (\"Key\" INTEGER PRIMARY KEY, \"Value\" TEXT, \"Comment\" TEXT)"));
        for (const auto& row : config)
            db.insert(QStringLiteral("T_Config"), {row.key, row.value, row.comment.isEmpty() ? QVariant() : QVariant(row.comment)});
        db.exec(QStringLiteral("CREATE TABLE T_Sounds (\"ID\" INTEGER PRIMARY KEY, \"Size\" INTEGER, \"Content\" BLOB, "
                               "\"Extension\" TEXT)"));
        for (int i = 0; i < sounds.size(); ++i)
            db.insert(QStringLiteral("T_Sounds"), {sounds[i].number, qlonglong(wavs[i].size()), wavs[i], QStringLiteral("wav")});

        // The salt comes from the sources, so the same sources give the same file.
        QCryptographicHash sourceHash(QCryptographicHash::Sha256);
        for (const QString& p : {textsPath, configPath, soundsPath})
            sourceHash.addData(fileBytes(p));
        const QByteArray salt = sourceHash.result().left(16);
        db.exec(QStringLiteral("CREATE TABLE %1 (Salt BLOB, Digest BLOB)").arg(quoted(plat::Database::accessTable())));
        db.insert(plat::Database::accessTable(), {salt, plat::Database::passwordDigest(salt, kPassword)});
        db.exec(QStringLiteral("COMMIT"));
    } catch (...) {
        QFile::remove(temp);
        throw;
    }
    if (std::rename(QFile::encodeName(temp).constData(), QFile::encodeName(out).constData()) != 0) {
        QFile::remove(temp);
        throw BuildError(QStringLiteral("cannot write %1").arg(out));
    }
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: cfgbuild <data folder> <output file>\n");
        return 2;
    }
    try {
        build(QString::fromLocal8Bit(argv[1]), QString::fromLocal8Bit(argv[2]));
    } catch (const BuildError& e) {
        std::fprintf(stderr, "cfgbuild: %s\n", e.message().toLocal8Bit().constData());
        return 1;
    }
    return 0;
}
