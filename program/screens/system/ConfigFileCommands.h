#pragma once
// The main window's file commands, apart from any window: save the
// configuration in use as a user file, open a user file in its place, start
// a new one from the database's defaults, and quit the program. The working
// file is what the program runs on; a user file is a named copy, and
// gConfig.Modified tells whether the two differ.

#include <QString>

namespace Stillmark {
struct _ActivityDetect;
}

class ConfigFileCommands {
public:
    // What the commands need of the window and of the program.
    class Host {
    public:
        virtual ~Host() = default;
        virtual bool AccessOk(int level) = 0;
        // The program's message box: the button pressed.
        virtual int Message(const QString& text, int style) = 0;
        // The platform's plain critical box, for a file that could not be read or written.
        virtual void CriticalBox(const QString& text) = 0;
        // The file dialog: the chosen path, "" when cancelled.
        virtual QString GetFileName(bool save, const QString& filter, const QString& fileName,
                                    const QString& folder) = 0;
        // The desktop's on-screen keyboard around the save dialog.
        virtual void StartKeyboard() = 0;
        virtual void EndKeyboard() = 0;
        // The window's captions.
        virtual void ShowFileName(const QString& caption) = 0;
        virtual void ShowModified(bool modified) = 0;
        // The engine.
        virtual bool PollingRuns() = 0;
        virtual void ReinitComm() = 0;
        virtual Stillmark::_ActivityDetect* Detector() = 0;
        virtual void SendStopEvent() = 0;
        virtual void StopPolling() = 0;
        // Unloads the engine form, then every other form, the window last;
        // the run then ends.
        virtual void EndRun() = 0;
    };

    explicit ConfigFileCommands(Host& host) : m_host(host) {}

    // How a save as ended: the file written; no file to write (cancelled or
    // access refused); or the chosen file not written, the changes still
    // only in the configuration in use and the working file.
    enum class SaveAsEnd { Written, NoFile, NotWritten };

    SaveAsEnd SaveAs();
    void Open();
    void New();
    // False when the quit ended early and the program goes on.
    bool Quit();

    // The file dialog's filter: text 50001 with its "|" kept and "$" read as ".px2".
    static QString Filter();
    // The title of a file: its name without folder and extension.
    static QString FileTitle(const QString& path);

private:
    bool accessRefused();
    QString askFile(bool save);
    // Saves the configuration as a user file the operator names; false when
    // the command is to end there (cancelled or not written).
    bool saveToUserFile();
    void followModified();
    static QString lastUsed();
    static void setLastUsed(const QString& path);

    Host& m_host;
};
