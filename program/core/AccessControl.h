#pragma once
// The rules of login and access levels, apart from any window: which level and
// name a typed code gives, the trace line it writes, whether a level may act,
// and how far the level arrows of the password dialog may go.

#include "platform/DateTime.h"

#include <QString>
#include <optional>
#include <vector>

class ConfigClass;

// One configured user, as the configuration holds it.
struct UserEntry {
    QString name;
    QString pwd;
    int level = 0;
};

class AccessControl {
public:
    static constexpr int LoggedOut = 0;
    static constexpr int MaxUserLevel = 3;
    static constexpr int ServiceLevel = 4;
    static inline const QString ServiceName = QStringLiteral("SERVICE");
    // Trace lines: padded with "*" to this width before the level, then cut.
    static constexpr int TracePadWidth = 58;
    static constexpr int TraceMaxLength = 80;

    // What a confirmed code does: the new level and name, and the trace line
    // to write (none for the service login).
    struct Login {
        int level = LoggedOut;
        QString name;
        std::optional<QString> traceLine;
    };

    // An empty code logs out; the service code gives the service level; else
    // the first user whose code matches (case-sensitive), and no match logs
    // out with a login-form line.
    static Login Decide(const QString& code, const QString& serviceCode, const std::vector<UserEntry>& users,
                        const plat::DateTime& now);

    // Date, time, " USER : " and who (the name, or "DISCONNECT"), padded with
    // "*" to 58 characters, then " LEVEL" and the level, cut to 80.
    static QString TraceLine(const plat::DateTime& now, const QString& who, int level);

    // True when userLevel reaches level, and always while no user has level 1.
    static bool AccessOk(int level, int userLevel, const std::vector<UserEntry>& users);
    static bool LevelOnePresent(const std::vector<UserEntry>& users);

    // The level arrows of the password dialog: down to 0; up to 3, and beyond
    // the current user's own level only while no level-1 user exists.
    static int LevelDown(int shown);
    static int LevelUp(int shown, int userLevel, bool levelOnePresent);

    // Users 1 .. UserCount of a configuration; none for no configuration.
    static std::vector<UserEntry> UsersOf(const ConfigClass* config);
};
