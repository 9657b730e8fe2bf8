#include "tests/support/DispatchDoubles.h"

#include "program/bus/EventDispatcher.h"
#include "platform/RtError.h"

namespace testing_support {

namespace {

void note(Journal* journal, const QString& what, qint64 n)
{
    if (journal)
        journal->add(what + QLatin1Char(' ') + QString::number(n));
}

} // namespace

QString RecordingRules::FormateTrace(const EventClass& ev)
{
    note(m_journal, QStringLiteral("trace"), ev.Num());
    return QStringLiteral("  line %1  ").arg(ev.Num());
}

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
    if (onRecord)
        onRecord(ev);
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

void RecordingSeams::wire(EventDispatcher& dispatcher)
{
    dispatcher.setRules(&rules);
    dispatcher.setHorn(&horn);
    dispatcher.setAlarmScreen(&alarmScreen);
    dispatcher.setHistory(&history);
    dispatcher.setPrinter(&printer);
    dispatcher.setMirrors(&mirrors);
}

void FailingMirrors::DoMirrors(const EventClass&)
{
    plat::raise(plat::rt::InvalidProcedureCall);
}

} // namespace testing_support
