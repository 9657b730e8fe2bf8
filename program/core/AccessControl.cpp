#include "program/core/AccessControl.h"

#include "program/core/ConfigClass.h"

namespace {
const QString kUser = QStringLiteral(" USER : ");
const QString kDisconnect = QStringLiteral("DISCONNECT");
const QString kLevel = QStringLiteral(" LEVEL");
} // namespace

AccessControl::Login AccessControl::Decide(const QString& code, const QString& serviceCode,
                                           const std::vector<UserEntry>& users, const plat::DateTime& now)
{
    Login out;
    if (code.isEmpty()) {
        out.traceLine = TraceLine(now, kDisconnect, LoggedOut);
        return out;
    }
    if (code == serviceCode) {
        out.level = ServiceLevel;
        out.name = ServiceName;
        return out;
    }
    for (const UserEntry& user : users) {
        if (user.pwd == code) {
            out.level = user.level;
            out.name = user.name;
            break;
        }
    }
    // A wrong code logs the operator out, but the line keeps the login form.
    out.traceLine = TraceLine(now, out.name, out.level);
    return out;
}

QString AccessControl::TraceLine(const plat::DateTime& now, const QString& who, int level)
{
    QString line = plat::formatShortDate(now) + QLatin1Char(' ') + plat::formatLongTime(now) + kUser + who
        + QLatin1Char(' ');
    if (line.size() < TracePadWidth)
        line += QString(TracePadWidth - line.size(), QLatin1Char('*'));
    line += kLevel + QString::number(level);
    return line.left(TraceMaxLength);
}

bool AccessControl::LevelOnePresent(const std::vector<UserEntry>& users)
{
    for (const UserEntry& user : users)
        if (user.level == 1)
            return true;
    return false;
}

bool AccessControl::AccessOk(int level, int userLevel, const std::vector<UserEntry>& users)
{
    return userLevel >= level || !LevelOnePresent(users);
}

int AccessControl::LevelDown(int shown)
{
    return shown > LoggedOut ? shown - 1 : shown;
}

int AccessControl::LevelUp(int shown, int userLevel, bool levelOnePresent)
{
    if (shown < MaxUserLevel && (shown < userLevel || !levelOnePresent))
        return shown + 1;
    return shown;
}

std::vector<UserEntry> AccessControl::UsersOf(const ConfigClass* config)
{
    std::vector<UserEntry> users;
    if (!config)
        return users;
    const int count = config->UserCount();
    for (int i = 1; i <= count; ++i)
        users.push_back({config->UserName(i), config->UserPwd(i), int(config->UserLevel(i))});
    return users;
}
