#include "program/core/GlobalMain.h"

#include "VexLib22/VexLib22.h"
#include "VexLib22/_LogFileClass.h"
#include "platform/AppIdentity.h"
#include "platform/Database.h"
#include "platform/Forms.h"
#include "platform/Guard.h"
#include "platform/NestedLoop.h"
#include "platform/Screen.h"
#include "platform/SingleInstance.h"
#include "platform/StopRequests.h"
#include "platform/Values.h"
#include "program/core/Config.h"
#include "program/core/ConfigClass.h"
#include "program/core/ErrorHandling.h"
#include "program/core/FormNames.h"
#include "program/core/Global.h"
#include "program/core/Globals.h"
#include "program/core/Housekeeping.h"
#include "program/core/IniKeys.h"
#include "program/core/PollingLink.h"
#include "program/core/TextIds.h"
#include "program/core/VEXfonctions.h"

#include <QCoreApplication>
#include <QDate>
#include <QDir>
#include <QFile>
#include <QMessageBox>
#include <QPointer>
#include <QSaveFile>

#include <cstdio>
#include <optional>

namespace Global {

namespace {

constexpr int kPriorityCount = 100;

// Set by EndProgram. A stop requested while start-up waits in a message box
// (before the message loop runs) unloads everything; start-up ends there.
bool g_ending = false;
bool g_stopRequested = false;
plat::UnloadMode g_stopCause = plat::vbFormCode;

// The plain critical box while it waits: a stop request closes it.
QPointer<QMessageBox> g_criticalBox;

void defaultCriticalBox(const QString& title, const QString& text)
{
    QString shown = text;
    shown.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    // Nobody answers a box once the program ends.
    if (g_ending) {
        std::fprintf(stderr, "PLX2: %s\n", shown.toLocal8Bit().constData());
        return;
    }
    QMessageBox box(QMessageBox::Critical, title, shown, QMessageBox::Ok);
    g_criticalBox = &box;
    const plat::NestedLoop waiting;
    box.exec();
}

CriticalBox& criticalBox()
{
    static CriticalBox box = defaultCriticalBox;
    return box;
}

// Opens the day's trace log for appending. A log that cannot be opened does
// not stop the start: the error is handed back to be told once, and the log
// tries again at each later line (quietly) until it opens.
std::optional<plat::RtError> openTraceLog()
{
    try {
        Housekeeping::OpenTraceLog(QDate::currentDate());
        return std::nullopt;
    } catch (const plat::RtError& e) {
        return e;
    }
}

// The rows of a previous run's alarm screen; "Index" and other names stay.
void dropSavedAlarmRows()
{
    QStringList keys;
    if (VEXfonctions::GetIniKeys(keys, IniKeys::LastAlarms) <= 0)
        return;
    for (const QString& key : keys)
        if (plat::IsNumeric(key))
            VEXfonctions::DelIniKey(IniKeys::LastAlarms, key);
}

// Keeps an unreadable working file as <name>.bad (replacing an older one), so
// that the next save of the configuration cannot overwrite it.
void setAside(const QString& file)
{
    const QString bad = file + QStringLiteral(".bad");
    if (QFile::exists(bad))
        QFile::remove(bad);
    if (!QFile::rename(file, bad))
        plat::reportError(QStringLiteral("Global.Main"),
                          plat::RtError(plat::rt::PathFileAccessError,
                                        QStringLiteral("Path/File access error: ") + QDir::toNativeSeparators(bad)));
}

void setUnnamed()
{
    VEXfonctions::SetIni(IniKeys::Files, IniKeys::LastUsed, Config::GetText(TextIds::Unnamed));
}

// A new configuration filled from the working file. An unreadable file is set
// aside and the configuration keeps its defaults, never half a file.
int32_t loadWorkingConfig()
{
    ReplaceConfig(std::make_unique<ConfigClass>());
    const QString file = plat::AppIdentity::programFile(QStringLiteral(".dat"));
    if (file.isEmpty() || !QFile::exists(file)) {
        setUnnamed();
        return 0;
    }
    const int32_t result = gConfig->Read(file);
    if (result != 0) {
        setAside(file);
        ReplaceConfig(std::make_unique<ConfigClass>());
    }
    gConfig->setModified(IniBoolean(
        VEXfonctions::GetIni(IniKeys::Files, IniKeys::LastConfigModified, IniKeys::LastConfigModifiedDefault), true));
    if (result != 0)
        setUnnamed();
    return result;
}

// Writes one alarm sound through a temporary file: a file cut short (full
// disk) never takes the final name, so it is written again at the next start.
void writeSoundFile(const QString& path, const QByteArray& bytes)
{
    QSaveFile out(path);
    if (!out.open(QIODevice::WriteOnly))
        throw plat::RtError(plat::rt::PathFileAccessError,
                            QStringLiteral("Path/File access error: ") + QDir::toNativeSeparators(path));
    if (out.write(bytes) != bytes.size() || !out.commit())
        throw plat::RtError(plat::rt::DiskFull, QStringLiteral("Disk full"));
}

// The sound of every priority, extracted once per sound number.
void extractAlarmSounds()
{
    if (!gDatabase)
        plat::raise(plat::rt::ObjectVariableNotSet);
    auto sounds = gDatabase->OpenRecordset(QStringLiteral("T_Sounds"));
    sounds->setIndex(QStringLiteral("PrimaryKey"));
    for (int p = 0; p < kPriorityCount; ++p) {
        const int n = gConfig->AlarmPrioSound(p);
        sounds->Seek(QStringLiteral("="), n);
        if (sounds->NoMatch())
            continue;
        const QString path = AlarmSoundFile(n);
        if (QFile::exists(path))
            continue;
        const qint64 size = sounds->field(QStringLiteral("Size")).toLongLong();
        writeSoundFile(path, sounds->GetChunk(QStringLiteral("Content"), 0, size));
    }
}

// The automatic start is made for an unattended panel: nothing it meets
// waits for an answer.
bool automaticStart()
{
    return gConfig && gConfig->AutoStart();
}

void showMainWindow()
{
    plat::Forms::Get(FormNames::wMain)->Show();
}

void steps()
{
    // A second instance would fight the first one for the bus.
    if (!plat::SingleInstance::acquire()) {
        criticalBox()(AppTitle, SecondInstanceText);
        return;
    }
    // Opened before anything can fail, so that what follows is traced; a log
    // that does not open is told once the database gives the message box and
    // the configuration says whether anyone is there to answer it.
    const std::optional<plat::RtError> traceError = openTraceLog();
    dropSavedAlarmRows();
    if (!Config::OpenConfigBase()) {
        criticalBox()(AppTitle, NoDatabaseText);
        return;
    }
    plat::Screen::setMousePointer(plat::Screen::vbHourglass);
    gNoResize = IniBoolean(VEXfonctions::GetIni(IniKeys::General, IniKeys::NoResize, IniKeys::NoResizeDefault), true);
    const int32_t result = loadWorkingConfig();
    const ErrorHandling::Unattended unattended(automaticStart());
    if (traceError)
        plat::reportError(QStringLiteral("Global.Main"), *traceError);
    // The engine form stays loaded and hidden for the whole run. Every wait
    // may have let a stop request in: the start ends there.
    if (g_ending)
        return;
    PollingLink& engine = Polling::Engine();
    if (g_ending)
        return;
    engine.SendStationEvent(Polling::StationEvent::ProgramStart);
    if (g_ending)
        return;
    // The automatic start polls at once and leaves only the alarm screen up;
    // it needs a working file read whole and a port that opened. A port not
    // there yet (an adapter that comes after the program) leaves the main
    // window up, and polling starts by itself once the port opens.
    if (gConfig->AutoStart() && result == 0) {
        showMainWindow();
        if (engine.PortOpen()) {
            engine.setRun(true);
            if (g_ending)
                return;
            plat::Forms::Get(FormNames::wRunAlarms)->Show();
            plat::Forms::Unload(plat::Forms::Find(FormNames::wMain));
            plat::Forms::UnloadAllExcept({FormNames::wRunAlarms, FormNames::wPolling});
        } else {
            engine.RunWhenPortOpens();
        }
    }
    if (g_ending)
        return;
    extractAlarmSounds();
    if (g_ending)
        return;
    plat::Screen::setMousePointer(plat::Screen::vbDefault);
    if (!gConfig->AutoStart())
        showMainWindow();
}

} // namespace

void setCriticalBox(CriticalBox box)
{
    criticalBox() = box ? std::move(box) : CriticalBox(defaultCriticalBox);
}

void ShowCriticalBox(const QString& title, const QString& text)
{
    criticalBox()(title, text);
}

bool IniBoolean(const QString& text, bool def)
{
    const QString t = text.trimmed();
    if (t.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0)
        return true;
    if (t.compare(QLatin1String("False"), Qt::CaseInsensitive) == 0)
        return false;
    if (const std::optional<double> n = plat::parseNumber(t))
        return *n != 0.0;
    return def;
}

bool Ending()
{
    return g_ending;
}

bool Stopping()
{
    return g_ending || plat::StopRequests::pending();
}

void RequestStop(plat::UnloadMode cause)
{
    if (g_stopRequested)
        return;
    g_stopRequested = true;
    g_stopCause = cause;
    EndProgram();
}

plat::UnloadMode StopCause()
{
    return g_stopCause;
}

void ResetRun()
{
    g_ending = false;
    g_stopRequested = false;
    g_stopCause = plat::vbFormCode;
}

void Main()
{
    ResetRun();
    std::optional<plat::RtError> error;
    try {
        steps();
    } catch (const plat::RtError& e) {
        error = e;
    } catch (const std::exception& e) {
        error = plat::RtError(plat::rt::InternalError, QString::fromLocal8Bit(e.what()));
    }
    if (!error)
        return;
    const ErrorHandling::Unattended unattended(automaticStart());
    plat::Screen::setMousePointer(plat::Screen::vbDefault);
    // The hidden engine form counts as loaded but not as a window.
    try {
        if (!g_ending && !plat::Forms::AnyVisible())
            showMainWindow();
    } catch (const plat::RtError&) {
    }
    plat::reportError(QStringLiteral("Global.Main"), *error);
}

QString ShutdownTraceLine(const plat::DateTime& at, bool taskManager)
{
    const QString words = taskManager ? QStringLiteral("TASK  MANAGER  ******** SYSTEM  APPLI STOP    ")
                                      : QStringLiteral("CLOSE  WINDOWS  ******** SYSTEM  APPLI STOP    ");
    return plat::formatShortDate(at) + QLatin1Char(' ') + plat::formatLongTime(at) + QLatin1Char(' ') + words
           + QString(26, QLatin1Char('*')) + QLatin1Char(' ') + QString(39, QLatin1Char('*'));
}

void EndProgram()
{
    g_ending = true;
    // A start-up box that waits (a second instance, no database) goes with
    // the request; the start then ends where it stood.
    if (g_criticalBox)
        g_criticalBox->done(0);
    plat::guard(QStringLiteral("Global.EndProgram"), [] {
        if (PollingLink* engine = Polling::Loaded()) {
            engine->SendStationEvent(Polling::StationEvent::ProgramStop);
            engine->setRun(false);
            plat::Forms::Unload(plat::Forms::Find(FormNames::wPolling));
        } else if (g_stopRequested && g_stopCause != plat::vbFormCode && gTraceLog().Opened()) {
            // Stopped from outside before the engine came: the line that
            // says who stopped it is still the log's last.
            gTraceLog().Comment(ShutdownTraceLine(plat::DateTime::now(), g_stopCause == plat::vbAppTaskManager));
            gTraceLog().FlushFile();
        }
    });
    plat::Forms::UnloadAll();
    QCoreApplication::quit();
}

} // namespace Global
