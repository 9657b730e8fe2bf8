#include "program/bus/DispatchStandIns.h"

#include "platform/Form.h"
#include "platform/Forms.h"
#include "program/core/Global.h"
#include "program/core/PollingLink.h"

namespace Dispatch {

namespace {

void note(Journal* journal, const QString& what, qint64 n)
{
    if (journal)
        journal->add(what + QLatin1Char(' ') + QString::number(n));
}

// The horn of the program until another is installed.
class GlobalHorn : public Horn {
public:
    void Alarme(int level) override { Global::Alarme(level); }
};

// Brings up whatever form is registered as the alarm screen and clears every
// other screen away, so that an alarm is never hidden behind a menu.
class FormsAlarmScreen : public AlarmScreen {
public:
    void BringToFront() override
    {
        const QString& name = Global::AlarmScreenForm;
        if (!plat::Forms::isRegistered(name))
            return;
        plat::Forms::Get(name)->Show();
        plat::Forms::UnloadAllExcept({name, Polling::FormName});
        // A form unloaded with the others may have taken the screen along
        // (its unload handler runs code of its own): show it once more.
        if (Global::NbInstances(name) == 0)
            plat::Forms::Get(name)->Show();
    }
};

// Until the history file, the printer line and the mirrors are built, their
// steps do nothing.
class NoHistory : public History {
public:
    void HistoEvent(const EventClass&) override {}
};
class NoPrinter : public Printer {
public:
    void PrintEvent(const EventClass&) override {}
};
class NoMirrors : public Mirrors {
public:
    void TraitementR2R2Self(const EventClass&) override {}
    void DoMirrors(const EventClass&) override {}
};

} // namespace

void RecordingHorn::Alarme(int level)
{
    levels.push_back(level);
    note(m_journal, QStringLiteral("horn"), level);
}

void RecordingAlarmScreen::BringToFront()
{
    ++calls;
    if (m_journal)
        m_journal->add(QStringLiteral("display"));
}

void RecordingHistory::HistoEvent(const EventClass& ev)
{
    events.push_back(ev);
    note(m_journal, QStringLiteral("history"), ev.Num());
}

void RecordingPrinter::PrintEvent(const EventClass& ev)
{
    events.push_back(ev);
    note(m_journal, QStringLiteral("printer"), ev.Num());
}

void RecordingMirrors::TraitementR2R2Self(const EventClass& ev)
{
    selfMirrored.push_back(ev);
    note(m_journal, QStringLiteral("r2r2"), ev.Num());
}

void RecordingMirrors::DoMirrors(const EventClass& ev)
{
    mirrored.push_back(ev);
    note(m_journal, QStringLiteral("mirrors"), ev.Num());
}

Seams& installed()
{
    static GlobalHorn horn;
    static FormsAlarmScreen alarmScreen;
    static NoHistory history;
    static NoPrinter printer;
    static NoMirrors mirrors;
    static Seams seams{nullptr, &horn, &alarmScreen, &history, &printer, &mirrors};
    return seams;
}

} // namespace Dispatch
