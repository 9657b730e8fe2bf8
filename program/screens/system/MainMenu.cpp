#include "program/screens/system/MainMenu.h"

#include "program/core/FormNames.h"

namespace {

constexpr int kEntryBus = 0;
constexpr int kEntryParams = 1;
constexpr int kEntrySystem = 2;
constexpr int kEntryAlarms = 3;
constexpr int kEntryTechnician = 4;

using Opening = MainMenu::Opening;

} // namespace

int MainMenu::LevelOf(int entry)
{
    switch (entry) {
    case kEntryBus:
    case kEntryParams:
    case kEntrySystem:
        return 2;
    case kEntryTechnician:
        return 3;
    default:
        return NoLevel;
    }
}

std::optional<MainMenu::Target> MainMenu::EntryTarget(int entry)
{
    switch (entry) {
    case kEntryBus:
        return Target{FormNames::wBusModules, Opening::FullScreen};
    case kEntryAlarms:
        return Target{FormNames::wRunAlarms, Opening::AlarmScreen};
    case kEntryTechnician:
        return Target{FormNames::wTechnician, Opening::FullScreen};
    default:
        return std::nullopt;
    }
}

QString MainMenu::DialogOf(int entry)
{
    if (entry == kEntryParams)
        return FormNames::dlgMenuParams;
    if (entry == kEntrySystem)
        return FormNames::dlgMenuSystem;
    return {};
}

std::optional<MainMenu::Target> MainMenu::CommandTarget(int entry, int cmd)
{
    if (entry == kEntryParams) {
        switch (cmd) {
        case 1:
            return Target{FormNames::wParamConsignes, Opening::FullScreen};
        case 2:
            return Target{FormNames::wParamBiblio, Opening::FullScreen};
        case 3:
            return Target{FormNames::wParamEcran, Opening::FullScreen};
        case 4:
            return Target{FormNames::wParamPrinter, Opening::FullScreen};
        default:
            return std::nullopt;
        }
    }
    if (entry == kEntrySystem) {
        switch (cmd) {
        case 1:
            return Target{FormNames::wSysComm, Opening::FullScreen};
        case 2:
            return Target{FormNames::wSysConfSon, Opening::FullScreen};
        case 3:
            return Target{FormNames::dlgSysTime, Opening::Modal};
        case 4:
            return Target{FormNames::dlgDefPwds, Opening::ModalThenSave};
        default:
            return std::nullopt;
        }
    }
    return std::nullopt;
}

bool MainMenu::EntryAvailable(int entry) const
{
    if (const auto target = EntryTarget(entry))
        return m_host.IsAvailable(target->form);
    const QString dialog = DialogOf(entry);
    return !dialog.isEmpty() && m_host.IsAvailable(dialog);
}

void MainMenu::Click(int index)
{
    if (m_running) {
        m_pending = index;
        return;
    }
    m_running = true;
    struct Done {
        bool& running;
        ~Done() { running = false; }
    } done{m_running};
    std::optional<int> next = index;
    while (next) {
        m_pending.reset();
        run(*next);
        next = m_host.Loaded() ? m_pending : std::nullopt;
    }
    m_pending.reset();
}

bool MainMenu::accessGranted(int level)
{
    if (level == NoLevel)
        return true;
    // A wrong code simply asks again.
    while (!m_host.AccessOk(level)) {
        if (!m_host.AskPassword())
            return false;
        m_host.DoEvents();
    }
    m_host.ShowLevel();
    return true;
}

void MainMenu::run(int index)
{
    // An entry whose screens this program lacks does nothing, not even ask a password.
    if (!EntryAvailable(index) || !accessGranted(LevelOf(index)))
        return;
    if (const auto target = EntryTarget(index)) {
        m_host.Open(*target);
        return;
    }
    const int cmd = m_host.ShowMenuDialog(DialogOf(index));
    const auto target = CommandTarget(index, cmd);
    if (!target || !m_host.IsAvailable(target->form))
        return;
    m_host.Open(*target);
    if (target->opening == Opening::ModalThenSave)
        m_host.SaveIfModified();
}
