#pragma once
// The read-only configuration database: what the program asks of the
// database engine (open with a password, table recordsets with a seek on the
// primary key, fields, long binary chunks, table definitions, one-value
// queries), over an SQLite file.
//
// The password is checked against a check record of the file (a salted
// digest in table AccessTable). It keeps the program from opening the wrong
// file; it does not hide the texts from someone who wants to read them.

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVector>

#include <memory>

struct sqlite3;
struct sqlite3_stmt;

namespace plat {

// Error numbers of the database engine that the program meets.
namespace dberr {
constexpr int NoCurrentRecord = 3021;       // "No current record."
constexpr int FileNotFound = 3024;          // "Could not find file '<name>'."
constexpr int InvalidPassword = 3031;       // "Not a valid password."
constexpr int CannotOpenFile = 3051;        // no permission to read the file
constexpr int TableNotFound = 3078;         // "... cannot find the input table or query '<name>'."
constexpr int ItemNotFound = 3265;          // "Item not found in this collection."
constexpr int InvalidOperation = 3219;      // "Invalid operation."
constexpr int UnrecognizedFormat = 3343;    // "Unrecognized database format '<name>'."
constexpr int NotAnIndex = 3800;            // "'<name>' is not an index in this table."
} // namespace dberr

class DatabaseConnection;

// A table-type recordset: one table, positioned by Seek on its primary key.
class Recordset {
public:
    ~Recordset();
    Recordset(const Recordset&) = delete;
    Recordset& operator=(const Recordset&) = delete;

    // Only "PrimaryKey", the table's primary key, is known.
    void setIndex(const QString& name);
    QString index() const { return m_index; }

    // Positions on the record whose key equals key (comparison "=" only); on
    // no such record NoMatch() is true and there is no current record.
    void Seek(const QString& comparison, const QVariant& key);
    bool NoMatch() const { return m_noMatch; }

    // The table definition's fields, in column order.
    int fieldCount() const { return int(m_names.size()); }
    QString fieldName(int index) const;

    // Values of the current record: a null QVariant for a null value; text as
    // QString, numbers as qlonglong or double, long binary as QByteArray.
    // Raise 3265 for an unknown field and 3021 without a current record.
    QVariant field(int index) const;
    QVariant field(const QString& name) const;

    // size bytes of a long binary field from offset (fewer at its end).
    QByteArray GetChunk(const QString& name, qint64 offset, qint64 size) const;

    // The connection this recordset reads, to tell whether it still belongs to
    // a given Database.
    const void* connectionId() const;

private:
    friend class Database;
    Recordset(std::shared_ptr<DatabaseConnection> connection, QString table, QStringList names, int keyColumn);
    int columnOf(const QString& name) const;
    void requireRecord() const;

    std::shared_ptr<DatabaseConnection> m_connection;
    QString m_table;
    QStringList m_names;
    int m_keyColumn;
    QString m_index;
    sqlite3_stmt* m_seek = nullptr;
    QVector<QVariant> m_record;
    bool m_hasRecord = false;
    bool m_noMatch = true;
};

class Database {
public:
    ~Database();
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;

    // Opens the file read-only (never exclusive). connect is the engine's
    // connect string; its ";pwd=" part is the password. Raises 3024 for a
    // missing file, 3051 for an unreadable one, 3343 for a file that is no
    // such database or is damaged, 3031 for a wrong password.
    static std::unique_ptr<Database> OpenDatabase(const QString& path, const QString& connect);

    QString name() const;

    // A table-type recordset on a table (3078 when there is none).
    std::unique_ptr<Recordset> OpenRecordset(const QString& table) const;

    // Names of the table definition's fields, in column order (3078 when
    // there is no such table).
    QStringList TableFields(const QString& table) const;

    // The first column of the first row of a query ("SELECT Max(ID) as MaxID
    // from T_Sounds"); a null QVariant when there is no row.
    QVariant SelectValue(const QString& sql) const;

    const void* connectionId() const;

    // The check record, as the builder of a database writes it.
    static QString accessTable();
    static QByteArray passwordDigest(const QByteArray& salt, const QString& password);

private:
    explicit Database(std::shared_ptr<DatabaseConnection> connection);
    std::shared_ptr<DatabaseConnection> m_connection;
};

} // namespace plat
