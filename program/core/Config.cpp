#include "program/core/Config.h"

#include "platform/AppIdentity.h"
#include "platform/Database.h"
#include "platform/Guard.h"
#include "platform/Values.h"
#include "program/core/ConfigClass.h"
#include "program/core/EnginePrinter.h"
#include "program/core/GlobalMessage.h"
#include "program/core/Globals.h"
#include "program/core/Housekeeping.h"
#include "program/core/IniKeys.h"
#include "program/core/VEXfonctions.h"
#include "program/core/dlgMessage.h"

#include <memory>

namespace Config {

namespace {

const QString kConnect = QStringLiteral(";pwd=9J84");
const QString kTextTable = QStringLiteral("T_Language");
const QString kValueTable = QStringLiteral("T_Config");
constexpr int kFirstLanguageColumn = 3;

// The two recordsets kept open for the run: one indexed seek per lookup.
std::unique_ptr<plat::Recordset> gTextSet;
std::unique_ptr<plat::Recordset> gValueSet;

// The table's recordset on the open database, opened on first use (and again
// when the database has been reopened since).
plat::Recordset& recordset(std::unique_ptr<plat::Recordset>& set, const QString& table)
{
    if (!gDatabase)
        plat::raise(plat::rt::ObjectVariableNotSet);
    if (!set || set->connectionId() != gDatabase->connectionId()) {
        set.reset();
        auto opened = gDatabase->OpenRecordset(table);
        opened->setIndex(QStringLiteral("PrimaryKey"));
        set = std::move(opened);
    }
    return *set;
}

QString textOf(const QVariant& value)
{
    return value.isNull() ? QString() : value.toString();
}

} // namespace

bool OpenConfigBase()
{
    gTextSet.reset();
    gValueSet.reset();
    ReplaceDatabase(nullptr);
    try {
        ReplaceDatabase(plat::Database::OpenDatabase(plat::AppIdentity::programFile(QStringLiteral(".cfg")), kConnect));
        gLanguage = plat::CInt(plat::Val(
            VEXfonctions::GetIni(IniKeys::General, IniKeys::Language, IniKeys::LanguageDefault)));
    } catch (const plat::RtError& e) {
        plat::reportError(QStringLiteral("Config.OpenConfigBase"), e);
    }
    return gDatabase != nullptr;
}

QString GetText(const QString& id, bool raw)
{
    QString result;
    try {
        plat::Recordset& set = recordset(gTextSet, kTextTable);
        if (!plat::IsNumeric(id))
            return result;
        const int language = kFirstLanguageColumn + gLanguage;
        const int column = gLanguage >= 0 && language < set.fieldCount() ? language : kFirstLanguageColumn;
        set.Seek(QStringLiteral("="), plat::CDbl(id));
        result = set.NoMatch() ? QLatin1Char('#') + id + QLatin1Char('#') : textOf(set.field(column));
        if (!raw)
            result.replace(QLatin1Char('|'), QStringLiteral("\r\n"));
    } catch (const plat::RtError& e) {
        plat::reportError(QStringLiteral("Config.GetText"), e);
    }
    return result;
}

QString GetConfig(int key)
{
    try {
        plat::Recordset& set = recordset(gValueSet, kValueTable);
        set.Seek(QStringLiteral("="), qlonglong(key));
        if (!set.NoMatch())
            return textOf(set.field(QStringLiteral("Value")));
    } catch (const plat::RtError& e) {
        plat::reportError(QStringLiteral("Config.GetConfig"), e);
    }
    return {};
}

QString GetLanguage(int index)
{
    try {
        if (!gDatabase || index < 0)
            return {};
        const QStringList fields = gDatabase->TableFields(kTextTable);
        if (index + kFirstLanguageColumn < fields.size())
            return fields[index + kFirstLanguageColumn];
    } catch (const plat::RtError& e) {
        plat::reportError(QStringLiteral("Config.GetLanguage"), e);
    }
    return {};
}

void SaveCurrentConfig()
{
    plat::guard(QStringLiteral("Config.SaveCurrentConfig"), [] {
        if (!gConfig)
            plat::raise(plat::rt::ObjectVariableNotSet);
        const bool modified = gConfig->Modified();
        // A failed save reports itself.
        gConfig->Save(plat::AppIdentity::programFile(QStringLiteral(".dat")));
        if (modified)
            gConfig->setOwnModified(true);
    });
}

void DoMidnightActions()
{
    plat::guard(QStringLiteral("Config.DoMidnightActions"),
                [] { Housekeeping::DoMidnightActions(plat::DateTime::now()); });
}

PrintPortTest TryPrintPort(const QString& prtSettings)
{
    PrintPortTest result = PrintPortTest::Refused;
    plat::guard(QStringLiteral("Config.TestPrintPort"), [&] {
        const QStringList parts = prtSettings.split(QLatin1Char(':'));
        // No printer configured counts as a working one.
        if (parts.value(0).isEmpty()) {
            result = PrintPortTest::Opens;
            return;
        }
        const EnginePrinterPtr printer = EnginePrinter::New();
        if (!printer)
            plat::raise(plat::rt::ObjectVariableNotSet);
        printer->setPort(parts.value(0));
        if (parts.size() > 1)
            printer->setSettings(parts.value(1));
        const QString error = printer->OpenPrinter(QString(), QString(), true);
        if (!error.isEmpty())
            Global::Message(GetText(20011).replace(QLatin1Char('$'), error), MsgStyle::vbCritical);
        printer->ClosePrinter();
        result = error.isEmpty() ? PrintPortTest::Opens : PrintPortTest::DoesNotOpen;
    });
    return result;
}

bool TestPrintPort(const QString& prtSettings)
{
    return TryPrintPort(prtSettings) == PrintPortTest::Opens;
}

} // namespace Config
