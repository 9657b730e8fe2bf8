#include "platform/Database.h"

#include "platform/RtError.h"

#include <QCryptographicHash>
#include <QFile>
#include <QFileInfo>
#include <QUrl>

#include <sqlite3.h>

#include <cmath>

namespace plat {

namespace {

const QString kSource = QStringLiteral("Database");
const QString kPrimaryKey = QStringLiteral("PrimaryKey");
constexpr int kReservedError = 3000;
constexpr int kInvalidArgument = 3001;

[[noreturn]] void fail(int number, const QString& text)
{
    throw RtError(number, text, kSource);
}

QString quoted(const QString& identifier)
{
    QString q = identifier;
    q.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + q + QLatin1Char('"');
}

// The password of a connect string such as ";pwd=secret" ("" without one).
QString passwordOf(const QString& connect)
{
    for (const QString& part : connect.split(QLatin1Char(';'))) {
        const int eq = part.indexOf(QLatin1Char('='));
        if (eq > 0 && part.left(eq).trimmed().compare(QLatin1String("pwd"), Qt::CaseInsensitive) == 0)
            return part.mid(eq + 1);
    }
    return {};
}

QVariant columnValue(sqlite3_stmt* stmt, int column)
{
    switch (sqlite3_column_type(stmt, column)) {
    case SQLITE_INTEGER:
        return QVariant(qlonglong(sqlite3_column_int64(stmt, column)));
    case SQLITE_FLOAT:
        return QVariant(sqlite3_column_double(stmt, column));
    case SQLITE_TEXT:
        return QVariant(QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(stmt, column)),
                                          sqlite3_column_bytes(stmt, column)));
    case SQLITE_BLOB: {
        const auto* data = static_cast<const char*>(sqlite3_column_blob(stmt, column));
        return QVariant(QByteArray(data, sqlite3_column_bytes(stmt, column)));
    }
    default:
        return QVariant();
    }
}

} // namespace

// The open SQLite handle, shared by the Database and its recordsets so that a
// recordset kept for the whole run never outlives its file handle.
class DatabaseConnection {
public:
    DatabaseConnection(sqlite3* db, QString path) : db(db), path(std::move(path)) {}
    ~DatabaseConnection() { sqlite3_close_v2(db); }

    [[noreturn]] void failSql(int rc) const
    {
        const int primary = rc & 0xff;
        if (primary == SQLITE_CORRUPT || primary == SQLITE_NOTADB)
            fail(dberr::UnrecognizedFormat, QStringLiteral("Unrecognized database format '%1'.").arg(path));
        fail(kReservedError, QStringLiteral("Reserved error (%1).").arg(QString::fromUtf8(sqlite3_errmsg(db))));
    }

    sqlite3_stmt* prepare(const QString& sql) const
    {
        sqlite3_stmt* stmt = nullptr;
        const QByteArray utf8 = sql.toUtf8();
        const int rc = sqlite3_prepare_v2(db, utf8.constData(), int(utf8.size()), &stmt, nullptr);
        if (rc != SQLITE_OK) {
            sqlite3_finalize(stmt);
            failSql(rc);
        }
        return stmt;
    }

    // Steps once: true on a row, false when done.
    bool step(sqlite3_stmt* stmt) const
    {
        const int rc = sqlite3_step(stmt);
        if (rc == SQLITE_ROW)
            return true;
        if (rc == SQLITE_DONE)
            return false;
        sqlite3_reset(stmt);
        failSql(rc);
    }

    struct Column {
        QString name;
        bool key;
    };
    QVector<Column> columns(const QString& table) const
    {
        sqlite3_stmt* stmt = prepare(QStringLiteral("PRAGMA table_info(%1)").arg(quoted(table)));
        QVector<Column> result;
        try {
            while (step(stmt))
                result.append({columnValue(stmt, 1).toString(), sqlite3_column_int(stmt, 5) == 1});
        } catch (...) {
            sqlite3_finalize(stmt);
            throw;
        }
        sqlite3_finalize(stmt);
        if (result.isEmpty())
            fail(dberr::TableNotFound,
                 QStringLiteral("The database engine cannot find the input table or query '%1'.").arg(table));
        return result;
    }

    sqlite3* db;
    QString path;
};

// ---- Recordset --------------------------------------------------------------

Recordset::Recordset(std::shared_ptr<DatabaseConnection> connection, QString table, QStringList names, int keyColumn)
    : m_connection(std::move(connection)), m_table(std::move(table)), m_names(std::move(names)), m_keyColumn(keyColumn)
{
    if (m_keyColumn >= 0) {
        QStringList columns;
        for (const QString& n : m_names)
            columns << quoted(n);
        m_seek = m_connection->prepare(QStringLiteral("SELECT %1 FROM %2 WHERE %3 = ?1")
                                           .arg(columns.join(QLatin1Char(',')), quoted(m_table),
                                                quoted(m_names[m_keyColumn])));
    }
}

Recordset::~Recordset()
{
    sqlite3_finalize(m_seek);
}

void Recordset::setIndex(const QString& name)
{
    if (name.compare(kPrimaryKey, Qt::CaseInsensitive) != 0 || m_keyColumn < 0)
        fail(dberr::NotAnIndex, QStringLiteral("'%1' is not an index in this table.").arg(name));
    m_index = kPrimaryKey;
}

void Recordset::Seek(const QString& comparison, const QVariant& key)
{
    if (m_index.isEmpty() || comparison.trimmed() != QLatin1String("="))
        fail(dberr::InvalidOperation, QStringLiteral("Invalid operation."));
    m_hasRecord = false;
    m_noMatch = true;
    m_record.clear();

    sqlite3_reset(m_seek);
    int rc = SQLITE_OK;
    switch (key.typeId()) {
    case QMetaType::Double:
    case QMetaType::Float: {
        // A whole number is an integer key: 12.0 finds record 12.
        const double d = key.toDouble();
        if (std::floor(d) == d && std::fabs(d) < 9.2e18)
            rc = sqlite3_bind_int64(m_seek, 1, sqlite3_int64(d));
        else
            rc = sqlite3_bind_double(m_seek, 1, d);
        break;
    }
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Long:
    case QMetaType::LongLong:
    case QMetaType::Short:
        rc = sqlite3_bind_int64(m_seek, 1, key.toLongLong());
        break;
    default:
        if (key.isNull()) {
            rc = sqlite3_bind_null(m_seek, 1);
        } else {
            const QByteArray utf8 = key.toString().toUtf8();
            rc = sqlite3_bind_text(m_seek, 1, utf8.constData(), int(utf8.size()), SQLITE_TRANSIENT);
        }
    }
    if (rc != SQLITE_OK)
        m_connection->failSql(rc);

    if (m_connection->step(m_seek)) {
        m_record.reserve(m_names.size());
        for (int i = 0; i < m_names.size(); ++i)
            m_record.append(columnValue(m_seek, i));
        m_hasRecord = true;
        m_noMatch = false;
    }
    sqlite3_reset(m_seek);
}

QString Recordset::fieldName(int index) const
{
    if (index < 0 || index >= m_names.size())
        fail(dberr::ItemNotFound, QStringLiteral("Item not found in this collection."));
    return m_names[index];
}

int Recordset::columnOf(const QString& name) const
{
    for (int i = 0; i < m_names.size(); ++i)
        if (m_names[i].compare(name, Qt::CaseInsensitive) == 0)
            return i;
    fail(dberr::ItemNotFound, QStringLiteral("Item not found in this collection."));
}

void Recordset::requireRecord() const
{
    if (!m_hasRecord)
        fail(dberr::NoCurrentRecord, QStringLiteral("No current record."));
}

QVariant Recordset::field(int index) const
{
    fieldName(index);
    requireRecord();
    return m_record[index];
}

QVariant Recordset::field(const QString& name) const
{
    const int column = columnOf(name);
    requireRecord();
    return m_record[column];
}

QByteArray Recordset::GetChunk(const QString& name, qint64 offset, qint64 size) const
{
    const QVariant value = field(name);
    if (offset < 0 || size < 0)
        fail(kInvalidArgument, QStringLiteral("Invalid argument."));
    if (value.isNull())
        return {};
    if (value.typeId() != QMetaType::QByteArray)
        fail(dberr::InvalidOperation, QStringLiteral("Invalid operation."));
    const QByteArray bytes = value.toByteArray();
    if (offset >= bytes.size())
        return {};
    return bytes.mid(offset, qMin<qint64>(size, bytes.size() - offset));
}

const void* Recordset::connectionId() const
{
    return m_connection.get();
}

// ---- Database ---------------------------------------------------------------

Database::Database(std::shared_ptr<DatabaseConnection> connection) : m_connection(std::move(connection)) {}

Database::~Database() = default;

QString Database::accessTable()
{
    return QStringLiteral("MSysAccess");
}

QByteArray Database::passwordDigest(const QByteArray& salt, const QString& password)
{
    QCryptographicHash hash(QCryptographicHash::Sha256);
    hash.addData(salt);
    hash.addData(password.toUtf8());
    return hash.result();
}

std::unique_ptr<Database> Database::OpenDatabase(const QString& path, const QString& connect)
{
    const QFileInfo info(path);
    if (!info.exists() || info.isDir())
        fail(dberr::FileNotFound, QStringLiteral("Could not find file '%1'.").arg(path));
    if (!info.isReadable())
        fail(dberr::CannotOpenFile,
             QStringLiteral("Cannot open the file '%1': permission to read it is denied.").arg(path));

    sqlite3* db = nullptr;
    // Immutable: the database is only read, by this program, so a lookup is a
    // seek alone, with no read transaction, file lock or journal check around it.
    const QByteArray uri = QUrl::fromLocalFile(info.absoluteFilePath()).toEncoded() + "?immutable=1";
    const int rc = sqlite3_open_v2(uri.constData(), &db, SQLITE_OPEN_READONLY | SQLITE_OPEN_URI, nullptr);
    auto connection = std::make_shared<DatabaseConnection>(db, path);
    if (rc != SQLITE_OK)
        fail(dberr::CannotOpenFile, QStringLiteral("Cannot open the file '%1'.").arg(path));

    const QString unrecognized = QStringLiteral("Unrecognized database format '%1'.").arg(path);

    // A damaged file fails here rather than at some lookup in the middle of a run.
    {
        sqlite3_stmt* check = connection->prepare(QStringLiteral("PRAGMA quick_check"));
        const bool row = connection->step(check);
        const QString verdict = row ? columnValue(check, 0).toString() : QString();
        sqlite3_finalize(check);
        if (verdict != QLatin1String("ok"))
            fail(dberr::UnrecognizedFormat, unrecognized);
    }

    QByteArray salt, digest;
    {
        sqlite3_stmt* access = nullptr;
        const QByteArray sql = QStringLiteral("SELECT Salt, Digest FROM %1").arg(quoted(accessTable())).toUtf8();
        if (sqlite3_prepare_v2(db, sql.constData(), int(sql.size()), &access, nullptr) != SQLITE_OK) {
            sqlite3_finalize(access);
            fail(dberr::UnrecognizedFormat, unrecognized);
        }
        bool row = false;
        try {
            row = connection->step(access);
            if (row) {
                salt = columnValue(access, 0).toByteArray();
                digest = columnValue(access, 1).toByteArray();
            }
        } catch (...) {
            sqlite3_finalize(access);
            throw;
        }
        sqlite3_finalize(access);
        if (!row || digest.isEmpty())
            fail(dberr::UnrecognizedFormat, unrecognized);
    }
    if (passwordDigest(salt, passwordOf(connect)) != digest)
        fail(dberr::InvalidPassword, QStringLiteral("Not a valid password."));

    return std::unique_ptr<Database>(new Database(std::move(connection)));
}

QString Database::name() const
{
    return m_connection->path;
}

std::unique_ptr<Recordset> Database::OpenRecordset(const QString& table) const
{
    QStringList names;
    int key = -1;
    const auto columns = m_connection->columns(table);
    for (int i = 0; i < columns.size(); ++i) {
        names << columns[i].name;
        if (columns[i].key)
            key = i;
    }
    return std::unique_ptr<Recordset>(new Recordset(m_connection, table, names, key));
}

QStringList Database::TableFields(const QString& table) const
{
    QStringList names;
    for (const auto& c : m_connection->columns(table))
        names << c.name;
    return names;
}

QVariant Database::SelectValue(const QString& sql) const
{
    sqlite3_stmt* stmt = m_connection->prepare(sql);
    QVariant value;
    try {
        if (m_connection->step(stmt) && sqlite3_column_count(stmt) > 0)
            value = columnValue(stmt, 0);
    } catch (...) {
        sqlite3_finalize(stmt);
        throw;
    }
    sqlite3_finalize(stmt);
    return value;
}

const void* Database::connectionId() const
{
    return m_connection.get();
}

} // namespace plat
