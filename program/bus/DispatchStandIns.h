#pragma once
// Recording stand-ins for the seams of the dispatch: each keeps what it was
// handed, in order, and notes it in a shared journal when given one, so that a
// test or a benchmark can read the order of the steps.

#include "program/bus/DispatchSeams.h"
#include "program/bus/EventClass.h"

#include <QStringList>
#include <vector>

namespace Dispatch {

// One line per call, e.g. "history 42" (the event number) or "horn 99".
class Journal {
public:
    void add(const QString& entry) { m_entries << entry; }
    const QStringList& entries() const { return m_entries; }
    void clear() { m_entries.clear(); }

private:
    QStringList m_entries;
};

class RecordingHorn : public Horn {
public:
    explicit RecordingHorn(Journal* journal = nullptr) : m_journal(journal) {}
    void Alarme(int level) override;
    std::vector<int> levels;

private:
    Journal* m_journal;
};

class RecordingAlarmScreen : public AlarmScreen {
public:
    explicit RecordingAlarmScreen(Journal* journal = nullptr) : m_journal(journal) {}
    void BringToFront() override;
    int calls = 0;

private:
    Journal* m_journal;
};

class RecordingHistory : public History {
public:
    explicit RecordingHistory(Journal* journal = nullptr) : m_journal(journal) {}
    void HistoEvent(const EventClass& ev) override;
    std::vector<EventClass> events;

private:
    Journal* m_journal;
};

class RecordingPrinter : public Printer {
public:
    explicit RecordingPrinter(Journal* journal = nullptr) : m_journal(journal) {}
    void PrintEvent(const EventClass& ev) override;
    std::vector<EventClass> events;

private:
    Journal* m_journal;
};

class RecordingMirrors : public Mirrors {
public:
    explicit RecordingMirrors(Journal* journal = nullptr) : m_journal(journal) {}
    void TraitementR2R2Self(const EventClass& ev) override;
    void DoMirrors(const EventClass& ev) override;
    std::vector<EventClass> selfMirrored;
    std::vector<EventClass> mirrored;

private:
    Journal* m_journal;
};

} // namespace Dispatch
