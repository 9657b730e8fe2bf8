#pragma once
// The main window's menu, apart from any window: which screen each entry and
// each sub-menu command opens, the access level it needs, the password asked
// until the level suffices or the operator gives up, and the order of things
// when a screen opened from the menu asks for the menu again.

#include <QString>
#include <functional>
#include <optional>

class MainMenu {
public:
    static constexpr int EntryCount = 6;
    static constexpr int CommandCount = 5;   // 0 is the sub-menu's cancel
    static constexpr int NoLevel = 0;

    // How a screen comes up from the menu.
    enum class Opening {
        FullScreen,    // shown in front; the main window goes
        AlarmScreen,   // shown in front; every screen but it and the engine goes
        Modal,         // shown modally over the main window, which stays
        ModalThenSave  // the same, and the working file saved afterwards when the configuration changed
    };
    struct Target {
        QString form;
        Opening opening;
    };

    // What the menu needs of the window and of the program.
    class Host {
    public:
        virtual ~Host() = default;
        virtual bool AccessOk(int level) = 0;
        // The password dialog; false when the operator cancels it.
        virtual bool AskPassword() = 0;
        virtual void DoEvents() = 0;
        // The login caption follows the access level.
        virtual void ShowLevel() = 0;
        // Whether a screen of that name exists in this program.
        virtual bool IsAvailable(const QString& form) = 0;
        // Shows the sub-menu dialog modally and answers its Cmd.
        virtual int ShowMenuDialog(const QString& dialog) = 0;
        virtual void Open(const Target& target) = 0;
        // The working file, saved when the configuration has changed.
        virtual void SaveIfModified() = 0;
        // The window is still loaded (nothing tore it down meanwhile).
        virtual bool Loaded() = 0;
    };

    explicit MainMenu(Host& host) : m_host(host) {}

    // Level an entry needs (NoLevel: none).
    static int LevelOf(int entry);
    // The screen an entry opens by itself (entries 0, 3 and 4).
    static std::optional<Target> EntryTarget(int entry);
    // The sub-menu dialog of entries 1 and 2, "" for the others.
    static QString DialogOf(int entry);
    // The screen of a sub-menu command 1..4.
    static std::optional<Target> CommandTarget(int entry, int cmd);

    // Whether an entry can open anything in this program.
    bool EntryAvailable(int entry) const;

    // Runs entry index. Called again while it runs (a screen it opened asks
    // for the menu as it closes), the entry is run once this one is done.
    void Click(int index);

private:
    void run(int index);
    bool accessGranted(int level);

    Host& m_host;
    bool m_running = false;
    std::optional<int> m_pending;
};
