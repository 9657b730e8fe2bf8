#pragma once
// The user editor's working copy of the configuration's users, apart from
// the dialog: one row per user (name, code in clear, level), the rows hidden
// from the logged-in user, the test that keeps names and codes unique among
// the rows, and the write back into the configuration.

#include "program/core/TextIds.h"

#include <QString>
#include <vector>

class ConfigClass;

class UserList {
public:
    struct Row {
        QString name;
        QString code;
        int level = 0;
        // Above the logged-in user's level while a level-1 user exists:
        // neither shown nor editable, but written back.
        bool hidden = false;
    };

    // Why an entry is refused (the text id of its message), or Accepted.
    enum Check {
        Accepted = 0,
        Incomplete = TextIds::ValuesMissing,
        DuplicateName = TextIds::UserNameTaken,
        DuplicateCode = TextIds::UserCodeTaken,
    };

    // The users 1..UserCount of config, as userLevel may see them. The
    // service code counts as the code of one more user: the login checks it
    // first, so a user with it would always come in as the service.
    static UserList FromConfig(const ConfigClass& config, int userLevel, const QString& serviceCode);

    const std::vector<Row>& Rows() const { return m_rows; }
    int Count() const { return int(m_rows.size()); }
    bool Hidden(int row) const;

    // An entry for row (or a new row when row is -1): both fields filled, and
    // neither name nor code that of another row, nor the code the service
    // code, letter case aside.
    Check Test(const QString& name, const QString& code, int row) const;
    void Add(const QString& name, const QString& code, int level);
    void Modify(int row, const QString& name, const QString& code, int level);
    void Remove(int row);

    // Writes every row, hidden ones included, as users 1..Count.
    void WriteTo(ConfigClass& config) const;

private:
    std::vector<Row> m_rows;
    QString m_serviceCode;
};
