#pragma once
// Key presses seen by an application-wide event filter: every key delivered
// to a window of this program, auto-repeat included. Alt, Alt combinations
// and F10 are system keys and do not count; releases do not count either.
// Events always pass on unchanged.

#include "ActivitySources.h"

#include <QObject>

class QKeyEvent;

namespace Stillmark {

class QtKeyFilter : public QObject, public IKeySource {
    Q_OBJECT
public:
    // Installs itself on the application, when there is one.
    QtKeyFilter();
    ~QtKeyFilter() override;

    void setKeyDownHandler(std::function<void()> handler) override { m_handler = std::move(handler); }

    // Whether a key press counts as activity (not a system key).
    static bool countsAsActivity(const QKeyEvent& event);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::function<void()> m_handler;
};

} // namespace Stillmark
