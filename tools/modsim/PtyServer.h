#pragma once
// Serves the simulator on a pseudo-terminal (or any tty device): bytes read
// from the line go to the simulator, and its reply bytes are written when
// their line time has come. With a link, the server creates the pair itself
// and keeps the panel's end open too, so that the panel may close and reopen
// its port at any time without the line hanging up.

#include "tools/modsim/Simulator.h"

#include <QString>

#include <atomic>
#include <functional>

namespace modsim {

class PtyServer {
public:
    explicit PtyServer(Simulator& sim);
    ~PtyServer();
    PtyServer(const PtyServer&) = delete;
    PtyServer& operator=(const PtyServer&) = delete;

    // Creates a pseudo-terminal pair and makes linkPath a symbolic link to the
    // panel's end (replacing a stale link, never another kind of file).
    bool openLink(const QString& linkPath, QString* error);
    // Serves an existing device (for example one end of a socat pair).
    bool openDevice(const QString& path, QString* error);
    // The device the panel opens.
    QString panelDevice() const { return m_panelName; }

    // Serves until stop becomes true; tick runs at least every few tens of
    // milliseconds with the monotonic time in ms. Returns false on a line error.
    bool run(const std::atomic<bool>& stop, const std::function<void(qint64 nowMs)>& tick, QString* error);

    // Removes the link (if it is still ours) and closes the line.
    void close();

private:
    Simulator& m_sim;
    int m_fd = -1;       // the simulator's end
    int m_panelFd = -1;  // the panel's end, held open by the server
    QString m_link;
    QString m_panelName;
    qint64 m_lastArrivalUs = 0;
};

} // namespace modsim
