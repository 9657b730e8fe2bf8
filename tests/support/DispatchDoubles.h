#pragma once
// Recording doubles of the dispatch's seams: each keeps what it was handed, in
// order, and notes it in a journal when given one. RecordingSeams holds one of
// each and puts them in a dispatcher, or in the seams every new engine starts
// with.

#include "program/bus/DispatchSeams.h"
#include "program/bus/EventClass.h"
#include "program/bus/CommandClass.h"
#include "tests/support/Journal.h"

#include <functional>
#include <vector>

class EventDispatcher;

namespace testing_support {

// Rules that answer as told (no by default). The trace text of an event is
// "line <number>" between blanks, noted as "trace <number>"; a command given
// up is kept.
class RecordingRules : public Dispatch::EventRules {
public:
    explicit RecordingRules(Journal* journal = nullptr) : m_journal(journal) {}
    bool IsToDisplay(const EventClass&) override { return display; }
    bool IsToHisto(const EventClass&) override { return histo; }
    bool IsToPrint(const EventClass&) override { return print; }
    bool IsToKlaxon(const EventClass&) override { return klaxon; }
    QString FormateTrace(const EventClass& ev) override;
    void TraceWriteError(const CommandClass& cmd, VexLib22::_LogFileClass&) override { dropped.push_back(cmd); }

    bool display = false, histo = false, print = false, klaxon = false;
    std::vector<CommandClass> dropped;

private:
    Journal* m_journal;
};

class RecordingHorn : public Dispatch::Horn {
public:
    explicit RecordingHorn(Journal* journal = nullptr) : m_journal(journal) {}
    void Alarme(int level) override;
    std::vector<int> levels;

private:
    Journal* m_journal;
};

class RecordingAlarmScreen : public Dispatch::AlarmScreen {
public:
    explicit RecordingAlarmScreen(Journal* journal = nullptr) : m_journal(journal) {}
    void BringToFront() override;
    int calls = 0;

private:
    Journal* m_journal;
};

class RecordingHistory : public Dispatch::History {
public:
    explicit RecordingHistory(Journal* journal = nullptr) : m_journal(journal) {}
    void HistoEvent(const EventClass& ev) override;
    std::vector<EventClass> events;
    // Called with each record, when set.
    std::function<void(const EventClass&)> onRecord;

private:
    Journal* m_journal;
};

class RecordingPrinter : public Dispatch::Printer {
public:
    explicit RecordingPrinter(Journal* journal = nullptr) : m_journal(journal) {}
    void PrintEvent(const EventClass& ev) override;
    std::vector<EventClass> events;

private:
    Journal* m_journal;
};

class RecordingMirrors : public Dispatch::Mirrors {
public:
    explicit RecordingMirrors(Journal* journal = nullptr) : m_journal(journal) {}
    void TraitementR2R2Self(const EventClass& ev) override;
    void DoMirrors(const EventClass& ev) override;
    std::vector<EventClass> selfMirrored;
    std::vector<EventClass> mirrored;

private:
    Journal* m_journal;
};

// Mirrors that always fail: an error in the middle of a pass or a dispatch.
class FailingMirrors : public Dispatch::Mirrors {
public:
    void TraitementR2R2Self(const EventClass&) override {}
    void DoMirrors(const EventClass&) override;
};

// One double of each seam, on one journal.
struct RecordingSeams {
    Journal journal;
    RecordingRules rules{&journal};
    RecordingHorn horn{&journal};
    RecordingAlarmScreen alarmScreen{&journal};
    RecordingHistory history{&journal};
    RecordingPrinter printer{&journal};
    RecordingMirrors mirrors{&journal};

    Dispatch::Seams seams() { return {&rules, &horn, &alarmScreen, &history, &printer, &mirrors}; }
    void wire(EventDispatcher& dispatcher);
    // Into Dispatch::installed(), for the engines made afterwards.
    void install() { Dispatch::installed() = seams(); }
};

} // namespace testing_support
