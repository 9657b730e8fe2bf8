#pragma once
// A form's timer control: it fires every Interval
// milliseconds while Enabled; an interval of 0 never fires; enabling, or a
// new interval while enabled, restarts the count.

#include <QObject>
#include <QTimer>

namespace plat {

class FormTimer : public QObject {
    Q_OBJECT
public:
    explicit FormTimer(const QString& name, QObject* parent = nullptr);

    int Interval() const { return m_interval; }
    void setInterval(int ms);
    bool Enabled() const { return m_enabled; }
    void setEnabled(bool on);

signals:
    void Timer();

private:
    void restart();

    QTimer m_timer;
    int m_interval = 0;
    bool m_enabled = false;
};

} // namespace plat
