#include "program/screens/system/UserList.h"

#include "program/core/AccessControl.h"
#include "program/core/ConfigClass.h"

UserList UserList::FromConfig(const ConfigClass& config, int userLevel, const QString& serviceCode)
{
    UserList list;
    list.m_serviceCode = serviceCode;
    const bool levelOne = AccessControl::LevelOnePresent(AccessControl::UsersOf(&config));
    for (int16_t i = 1; i <= config.UserCount(); ++i) {
        const int level = config.UserLevel(i);
        list.m_rows.push_back({config.UserName(i), config.UserPwd(i), level, levelOne && level > userLevel});
    }
    return list;
}

bool UserList::Hidden(int row) const
{
    return row < 0 || row >= Count() || m_rows[size_t(row)].hidden;
}

UserList::Check UserList::Test(const QString& name, const QString& code, int row) const
{
    if (name.trimmed().isEmpty() || code.trimmed().isEmpty())
        return Incomplete;
    for (int i = 0; i < Count(); ++i) {
        if (i == row)
            continue;
        if (m_rows[size_t(i)].name.compare(name, Qt::CaseInsensitive) == 0)
            return DuplicateName;
        if (m_rows[size_t(i)].code.compare(code, Qt::CaseInsensitive) == 0)
            return DuplicateCode;
    }
    if (!m_serviceCode.isEmpty() && m_serviceCode.compare(code, Qt::CaseInsensitive) == 0)
        return DuplicateCode;
    return Accepted;
}

void UserList::Add(const QString& name, const QString& code, int level)
{
    m_rows.push_back({name, code, level, false});
}

void UserList::Modify(int row, const QString& name, const QString& code, int level)
{
    if (row < 0 || row >= Count())
        return;
    Row& r = m_rows[size_t(row)];
    r.name = name;
    r.code = code;
    r.level = level;
}

void UserList::Remove(int row)
{
    if (row >= 0 && row < Count())
        m_rows.erase(m_rows.begin() + row);
}

void UserList::WriteTo(ConfigClass& config) const
{
    config.setUserCount(int16_t(Count()));
    for (int i = 0; i < Count(); ++i) {
        const Row& r = m_rows[size_t(i)];
        const auto user = int16_t(i + 1);
        config.setUserName(user, r.name);
        config.setUserPwd(user, r.code);
        config.setUserLevel(user, r.level);
    }
}
