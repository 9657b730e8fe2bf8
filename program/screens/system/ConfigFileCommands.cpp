#include "program/screens/system/ConfigFileCommands.h"

#include "Stillmark/_ActivityDetect.h"
#include "platform/Screen.h"
#include "program/bus/PollingEngine.h"
#include "program/core/Components.h"
#include "program/core/Config.h"
#include "program/core/ConfigClass.h"
#include "program/core/Globals.h"
#include "program/core/IniKeys.h"
#include "program/core/VEXfonctions.h"
#include "program/core/dlgMessage.h"

#include <memory>

namespace {

constexpr int kAccessLevel = 2;
constexpr int kQuitLevelWhilePolling = 1;
constexpr int kStyleRefused = MsgStyle::vbCritical;
constexpr int kStyleKeepChanges = MsgStyle::vbYesNoCancel | MsgStyle::vbExclamation;
constexpr int kStyleConfirmNew = MsgStyle::vbOKCancel;
constexpr int kStyleConfirmQuit = MsgStyle::vbOKCancel | MsgStyle::vbExclamation;

// Read and Save answer a text id on failure, 0 or -1 on success.
bool succeeded(int32_t result)
{
    return result < 1;
}

// The hourglass around one read or write of a file, then the pointer as it was.
class Hourglass {
public:
    Hourglass() : m_saved(plat::Screen::MousePointer()) { plat::Screen::setMousePointer(plat::Screen::vbHourglass); }
    ~Hourglass() { plat::Screen::setMousePointer(m_saved); }
    Hourglass(const Hourglass&) = delete;
    Hourglass& operator=(const Hourglass&) = delete;

private:
    int m_saved;
};

int32_t saveConfig(const QString& file)
{
    Hourglass busy;
    return gConfig->Save(file);
}

} // namespace

QString ConfigFileCommands::Filter()
{
    return Config::GetText(50001, true).replace(QLatin1Char('$'), QStringLiteral(".px2"));
}

QString ConfigFileCommands::FileTitle(const QString& path)
{
    auto& paths = Components::FilesPaths();
    return paths.GetFileTitle(paths.GetFilenameFromPath(path));
}

QString ConfigFileCommands::lastUsed()
{
    return VEXfonctions::GetIni(IniKeys::Files, IniKeys::LastUsed, IniKeys::LastUsedDefault);
}

void ConfigFileCommands::setLastUsed(const QString& path)
{
    VEXfonctions::SetIni(IniKeys::Files, IniKeys::LastUsed, path);
}

bool ConfigFileCommands::accessRefused()
{
    if (m_host.AccessOk(kAccessLevel))
        return false;
    m_host.Message(Config::GetText(20009), kStyleRefused);
    return true;
}

QString ConfigFileCommands::askFile(bool save)
{
    auto& paths = Components::FilesPaths();
    const QString last = lastUsed();
    return m_host.GetFileName(save, Filter(), paths.GetFilenameFromPath(last), paths.GetDirectoryFromPath(last));
}

void ConfigFileCommands::followModified()
{
    m_host.ShowModified(gConfig->Modified());
}

bool ConfigFileCommands::saveToUserFile()
{
    const QString file = askFile(true);
    if (file.isEmpty())
        return false;
    const int32_t result = saveConfig(file);
    if (!succeeded(result)) {
        // Not written: the changes are still unsaved, and the file in use is the one it was.
        m_host.CriticalBox(Config::GetText(result));
        return false;
    }
    gConfig->setModified(false);
    Config::SaveCurrentConfig();
    setLastUsed(file);
    m_host.ShowFileName(FileTitle(file));
    return true;
}

ConfigFileCommands::SaveAsEnd ConfigFileCommands::SaveAs()
{
    if (accessRefused())
        return SaveAsEnd::NoFile;
    m_host.StartKeyboard();
    const QString file = askFile(true);
    m_host.EndKeyboard();
    if (file.isEmpty())
        return SaveAsEnd::NoFile;
    const int32_t result = saveConfig(file);
    const bool written = succeeded(result);
    if (written) {
        setLastUsed(file);
        m_host.ShowFileName(FileTitle(file));
        gConfig->setModified(false);
    } else {
        m_host.CriticalBox(Config::GetText(result));
    }
    Config::SaveCurrentConfig();
    followModified();
    return written ? SaveAsEnd::Written : SaveAsEnd::NotWritten;
}

void ConfigFileCommands::Open()
{
    if (accessRefused())
        return;
    if (gConfig->Modified()) {
        const int answer = m_host.Message(Config::GetText(50003), kStyleKeepChanges);
        if (answer == MsgResult::vbCancel)
            return;
        if (answer == MsgResult::vbYes && !saveToUserFile())
            return;
    }
    const QString file = askFile(false);
    if (file.isEmpty())
        return;
    // Read into a configuration of its own: a refused file leaves the one in use as it is.
    auto opened = std::make_unique<ConfigClass>();
    int32_t result = 0;
    {
        Hourglass busy;
        result = opened->Read(file);
    }
    if (succeeded(result)) {
        ReplaceConfig(std::move(opened));
        setLastUsed(file);
        m_host.ShowFileName(FileTitle(file));
        gConfig->setModified(false);
        m_host.ReinitComm();
        if (Stillmark::_ActivityDetect* detector = m_host.Detector())
            PollingEngine::SetInactivityTime(*detector, gConfig->InactivityTime());
        Config::SaveCurrentConfig();
    } else {
        m_host.CriticalBox(Config::GetText(result));
        setLastUsed(QString());
        m_host.ShowFileName(Config::GetText(50010));
    }
    followModified();
}

void ConfigFileCommands::New()
{
    if (accessRefused())
        return;
    if (m_host.Message(Config::GetText(30013), kStyleConfirmNew) == MsgResult::vbCancel)
        return;
    if (gConfig->Modified()) {
        const int answer = m_host.Message(Config::GetText(50003), kStyleKeepChanges);
        if (answer == MsgResult::vbCancel)
            return;
        // A cancelled save as lets the new configuration follow; one that could
        // not write ends here, or the changes would be lost from memory and
        // from the working file.
        if (answer == MsgResult::vbYes && SaveAs() == SaveAsEnd::NotWritten)
            return;
    }
    const QString unnamed = Config::GetText(50010);
    m_host.ShowFileName(unnamed);
    setLastUsed(unnamed);
    ReplaceConfig(std::make_unique<ConfigClass>());
    Config::SaveCurrentConfig();
    followModified();
}

bool ConfigFileCommands::Quit()
{
    if (m_host.PollingRuns() && !m_host.AccessOk(kQuitLevelWhilePolling)) {
        m_host.Message(Config::GetText(20009), kStyleRefused);
        return false;
    }
    if (gConfig->Modified())
        Config::SaveCurrentConfig();
    const int answer = gConfig->Modified() ? m_host.Message(Config::GetText(50003), kStyleKeepChanges)
                                           : m_host.Message(Config::GetText(50002), kStyleConfirmQuit);
    if (answer == MsgResult::vbCancel)
        return false;
    if (answer == MsgResult::vbYes && !saveToUserFile())
        return false;
    VEXfonctions::SetIni(IniKeys::Files, IniKeys::LastConfigModified,
                         gConfig->Modified() ? QStringLiteral("1") : QStringLiteral("0"));
    m_host.SendStopEvent();
    m_host.StopPolling();
    m_host.EndRun();
    return true;
}
