// The engine's synchronisation passes: the general pass of the first start of
// polling and of the technician screen, the re-read of one module (the update
// sweep, the midnight pass) and the midnight pass. Every bus access here is
// direct, in the order given, without the command queue; a line that is
// closed or lost tells nothing of the modules, so the passes then stop asking
// and charge nobody.

#include "program/bus/PollingEngine.h"

#include "program/bus/AlarmScreenLink.h"
#include "program/bus/BusConstants.h"
#include "program/bus/CommFunctions.h"
#include "program/bus/ConfigAccess.h"
#include "program/bus/Miroirs.h"
#include "program/bus/TraceRecord.h"

#include "program/core/Components.h"
#include "program/core/Config.h"
#include "program/core/ConfigClass.h"
#include "program/core/ErrorHandling.h"
#include "program/core/FormNames.h"
#include "program/core/Globals.h"
#include "program/core/MirrorClasses.h"
#include "program/core/PanelClass.h"
#include "program/core/PollingLink.h"
#include "program/core/dlgMessage.h"

#include "VexLib22/_LogFileClass.h"
#include "VexLib22/_WinPlace.h"
#include "platform/Forms.h"
#include "platform/Guard.h"
#include "platform/InputHold.h"
#include "platform/RtError.h"
#include "platform/Screen.h"
#include "platform/SerialControl.h"
#include "platform/StopRequests.h"

namespace {

const QString kSynchro = QStringLiteral("wPolling.SynchroGeneraleBus");
const QString kUpdatePanel = QStringLiteral("wPolling.UpdatePanel");
const QString kMidnight = QStringLiteral("wPolling.MidnightSynchro");
// The style of the notice shown while the general pass runs (OK, exclamation).
constexpr int kNoticeStyle = MsgStyle::vbExclamation;
// The marker of a pass in progress on the alarm and technician screens.
const QString kSynchroMark = QStringLiteral("imgStopRun(2)");
// Type queries before a module counts as absent.
constexpr int kTypeQueries = 3;
// The re-read of a module reads this many channel words.
constexpr int kUpdateWords = Limits::LastChannelOfOthers;
// Clock of the events of a general pass.
constexpr qint32 kSynchroClock = -1;

qint16 eventCode(qint16 word)
{
    return word == Bus::StateNormalAgain ? 0 : word;
}

bool isBufferModel(int model)
{
    return model == Bus::ModelK7150 || model == Bus::ModelK7100;
}

bool isResetByChannels(int model)
{
    return isBufferModel(model) || model == Bus::ModelT7100 || model == Bus::ModelT7150;
}

} // namespace

QString PollingEngine::SynchroTraceLine(const plat::DateTime& at)
{
    return TraceRecord::commLine(at, QStringLiteral("SYNCHR")).text();
}

// ---- General pass -----------------------------------------------------------

void PollingEngine::SynchroGeneraleBus()
{
    synchronise();
}

bool PollingEngine::synchronise()
{
    // Asked again while its notice yields: the running pass does it all.
    if (m_inSynchro)
        return false;
    m_inSynchro = true;
    const ErrorHandling::Unattended unattended;
    // The notice's yield paints it; a touch or key made meanwhile is dropped
    // at the pass's end (the busy pointer says why).
    const plat::InputHold hold(plat::InputHold::Drop);
    const HeldConfig held(*this);
    const int pointer = plat::Screen::MousePointer();
    QPointer<plat::Form> notice;
    bool reached = false;
    plat::guard(kSynchro, [&] {
        plat::Screen::setMousePointer(plat::Screen::vbHourglass);
        notice = showSynchroNotice();
        // Stopped while the notice painted: nothing more is sent or written.
        if (stopAsked())
            return;
        log().Comment(SynchroTraceLine(now()));
        log().FlushFile();
        showSynchroMarks(true);
        ReinitComm();
        ChannelParams params{};
        detectModules(params);
        resetModules();
        // A line that is down tells nothing of the modules, and a stop leaves
        // no time to ask them: the list and its announcements stay as they
        // are until a pass reaches the bus.
        if (!busGoesOn()) {
            if (!stopAsked())
                tracePortLost();
            return;
        }
        reached = true;
        emptyAlarmList();
        emitChannelStates(params);
    });
    // The end runs whatever became of the pass, each step on its own.
    plat::guard(kSynchro, [&] { showSynchroMarks(false); });
    plat::Screen::setMousePointer(pointer);
    plat::guard(kSynchro, [&] {
        if (notice && !notice->IsUnloaded())
            plat::Forms::Unload(notice);
    });
    m_inSynchro = false;
    return reached;
}

bool PollingEngine::stopAsked() const
{
    return m_closing || (m_seams.stopRequested ? m_seams.stopRequested() : plat::StopRequests::pending());
}

bool PollingEngine::busGoesOn() const
{
    return portUsable() && !stopAsked();
}

QPointer<plat::Form> PollingEngine::showSynchroNotice()
{
    QPointer<plat::Form> form;
    // A program without the message box goes without the notice; one that
    // cannot show it goes on without it (the error is reported).
    if (!plat::Forms::isRegistered(FormNames::dlgMessage))
        return form;
    plat::guard(kSynchro, [&] {
        form = plat::Forms::CreateInstance(FormNames::dlgMessage);
        auto* box = qobject_cast<dlgMessage*>(form.data());
        if (!box)
            plat::raise(plat::rt::TypeMismatch);
        box->setMessage(Config::GetText(30015));
        box->setButtons(kNoticeStyle);
        box->setDoUnload(true);
        // A modeless window shows over a modal one too: nothing is unloaded for it.
        box->Show(false);
        Components::WinPlace().SetToTopmost(box);
    });
    yield();
    return form;
}

void PollingEngine::showSynchroMarks(bool visible)
{
    if (AlarmScreenLink* alarms = AlarmScreen::Loaded())
        alarms->setSynchroMarkVisible(visible);
    // The technician screen lies above this layer: found by its name, its
    // marker by the control's name.
    if (plat::Form* technician = plat::Forms::Find(FormNames::wTechnician)) {
        if (auto* mark = technician->findChild<QWidget*>(kSynchroMark))
            mark->setVisible(visible);
        if (visible)
            technician->repaint();
    }
}

qint16 PollingEngine::askModuleType(qint16 module)
{
    qint16 type = Bus::ModelNone;
    for (int i = 0; i < kTypeQueries && type <= Bus::ModelNone && busGoesOn(); ++i)
        type = CommFunctions::GetModuleType(*m_port, quint8(module), [this] { return busGoesOn(); });
    return type;
}

void PollingEngine::detectModules(ChannelParams& params)
{
    for (int m = 1; m <= Limits::Modules; ++m) {
        PanelClass& panel = panelAt(m);
        // A module out of service is left alone by every pass, as polling
        // leaves it: no frame, and what the panel knew of it stays.
        if (panel.Model() <= Bus::ModelNone || !panel.Active())
            continue;
        const qint16 type = askModuleType(qint16(m));
        if (!busGoesOn())
            return;
        panel.setErrCptr(1, 0);
        panel.setErrCptr(2, 0);
        // Silently: the alarm list is emptied and filled again by this pass.
        panel.setActualModel(type);
        panel.setPresent(type > Bus::ModelNone);
        if (!isBufferModel(type) || !busGoesOn())
            continue;
        QVector<qint16> words(panel.ChannelCount());
        if (CommFunctions::LitMots(*m_port, quint8(m), Bus::RegChannelParam, words))
            for (int c = 1; c <= words.size() && c <= Limits::LastChannel; ++c)
                params[size_t(m)][size_t(c)] = words[c - 1];
    }
}

void PollingEngine::resetModules()
{
    // Every frame waits for a line that is up and no stop asked.
    auto write = [&](quint8 slave, int reg, qint16 value) {
        if (!busGoesOn())
            return false;
        CommFunctions::EcritUnMot(*m_port, slave, reg, value);
        return true;
    };
    auto read = [&](quint8 slave, int reg, QVector<qint16>& words) {
        return busGoesOn() && CommFunctions::LitMots(*m_port, slave, reg, words);
    };
    for (int m = 1; m <= Limits::Modules; ++m) {
        if (!busGoesOn())
            return;
        PanelClass& panel = panelAt(m);
        if (!panel.Active())
            continue;
        const int model = panel.ActualModel();
        const quint8 slave = quint8(m);
        if (isResetByChannels(model)) {
            for (int c = 1; c <= panel.ChannelCount(); ++c)
                write(slave, Bus::RegChannelCommand + c, 0);
            write(slave, Bus::RegModuleCommand, Bus::ModuleCommandAcknowledge);
            // The whole word: the module drops every entry it counts.
            QVector<qint16> count(1);
            if (read(slave, Bus::RegEventCount, count) && count[0] > 0)
                write(slave, Bus::RegEventAck, count[0]);
        } else if (model == Bus::ModelK6200TX) {
            write(slave, Bus::RegHorn, 0);
            QVector<qint16> status(1);
            read(slave, Bus::RegStatus, status);
            if (!write(slave, Bus::RegStatusClear, 0))
                return;
            for (int c = 1; c <= panel.ChannelCount(); ++c)
                ConfigAccess::channel(panel, c).setState(0);
        }
    }
}

void PollingEngine::emptyAlarmList()
{
    // Its rows of missing modules go too: polling tells them again.
    m_dispatcher.ForgetMissingAnnouncements();
    if (!plat::Forms::isRegistered(FormNames::wRunAlarms))
        return;
    // Loaded for it when it is not: its rows are the channels this pass finds.
    if (AlarmScreenLink* alarms = AlarmScreen::Get())
        alarms->ClearAlarmRows();
}

void PollingEngine::emitChannelStates(const ChannelParams& params)
{
    for (int m = 1; m <= Limits::Modules; ++m) {
        PanelClass& panel = panelAt(m);
        if (!panel.Active() || !isResetByChannels(panel.ActualModel()))
            continue;
        if (!busGoesOn())
            return;
        QVector<qint16> words(panel.ChannelCount());
        if (!CommFunctions::LitMots(*m_port, quint8(m), Bus::RegChannelState, words))
            continue;
        for (int c = 1; c <= words.size() && c <= Limits::LastChannel; ++c) {
            if (words[c - 1] == 0)
                continue;
            EventClass ev;
            ev.setClock(kSynchroClock);
            ev.setAff(eventCode(words[c - 1]));
            ev.setPanel(qint16(m));
            ev.setChnl(qint16(c));
            ev.setParam(params[size_t(m)][size_t(c)]);
            SendEvent(ev);
            // Once more, in case the dispatch stopped short of its mirrors
            // (the queue drops a write already queued); never for a channel
            // out of service, whose events go nowhere.
            if (ConfigAccess::channel(panel, c).OutOfOrder())
                continue;
            Dispatch::Mirrors* mirrors = m_dispatcher.seams().mirrors;
            if (!mirrors)
                plat::raise(plat::rt::ObjectVariableNotSet);
            mirrors->DoMirrors(ev);
        }
    }
}

// ---- Re-read of one module ----------------------------------------------------

bool PollingEngine::readCounted(qint16 module, int reg, QVector<qint16>& words)
{
    PanelClass& panel = panelAt(module);
    // The counters start from 0 here: the third failure declares the module missing.
    for (int attempt = 0; attempt < EventDispatcher::ErrorsToMissing; ++attempt) {
        if (!busGoesOn())
            return false;
        if (CommFunctions::LitMots(*m_port, quint8(module), reg, words))
            return true;
        // Not charged when the line went away (AddError sees to it); the
        // next turn then stops.
        m_dispatcher.AddError(module);
        if (panel.ErrCptr(2) > 0)
            return false;
    }
    return false;
}

void PollingEngine::UpdatePanel(qint16 module, bool detect)
{
    const ErrorHandling::Unattended unattended;
    const HeldConfig held(*this);
    plat::guard(kUpdatePanel, [&] {
        PanelClass& panel = panelAt(module);
        if (!detect) {
            panel.setActualModel(Bus::ModelNone);
            panel.setPresent(false);
            return;
        }
        if (!busGoesOn())
            return;
        panel.setErrCptr(1, 0);
        panel.setErrCptr(2, 0);
        const qint16 type = askModuleType(module);
        if (!busGoesOn())
            return;
        panel.setActualModel(type);
        // Announced, so that a module lost at midnight is seen missing and
        // one that came back clears its row.
        m_dispatcher.TraitePanelMove(module, type > Bus::ModelNone);
        if (!isBufferModel(type))
            return;

        panel.setErrCptr(1, 0);
        panel.setErrCptr(2, 0);
        QVector<qint16> params(kUpdateWords);
        if (!readCounted(module, Bus::RegChannelParam, params))
            return;
        for (int i = 0; i < 3; ++i)
            panel.setErrCptr(i, 0);
        QVector<qint16> states(kUpdateWords);
        if (!readCounted(module, Bus::RegChannelState, states))
            return;

        for (int c = 1; c <= kUpdateWords; ++c) {
            ChannelClass& channel = ConfigAccess::channel(panel, c);
            if (channel.State() == states[c - 1])
                continue;
            EventClass ev;
            ev.setPanel(qint16(panel.Numero()));
            ev.setChnl(qint16(c));
            ev.setParam(params[c - 1]);
            ev.setAff(eventCode(states[c - 1]));
            ev.setClock(0);
            SendEvent(ev);
            // As read: a 5 stays 5, so the next re-read sees no change.
            channel.setState(states[c - 1]);
        }
    });
}

// ---- Midnight -----------------------------------------------------------------

void PollingEngine::MidnightSynchro()
{
    const ErrorHandling::Unattended unattended;
    // No yield: a touch or key made meanwhile is dropped at the pass's end.
    const plat::InputHold hold(plat::InputHold::Drop);
    const HeldConfig held(*this);
    plat::guard(kMidnight, [&] {
        for (int m = 1; m <= Limits::Modules; ++m) {
            // A stop ends the pass here.
            if (stopAsked())
                return;
            PanelClass& panel = panelAt(m);
            if (panel.Model() <= Bus::ModelNone)
                continue;
            // Out of service: not asked, but its day record is written all the same.
            if (panel.Active())
                UpdatePanel(qint16(m), true);
            // The module's day record goes to the history only: no rules,
            // screen, printer, trace line or BusEvent.
            Dispatch::History* history = m_dispatcher.seams().history;
            if (!history)
                plat::raise(plat::rt::ObjectVariableNotSet);
            EventClass record;
            m_dispatcher.IncEvtNum();
            record.setNum(m_dispatcher.LastEvent());
            record.setGDH(now());
            record.setPanel(qint16(panel.Numero()));
            record.setChnl(EventClass::ChnlStation);
            record.setAff(Polling::StationEvent::DailyState);
            record.setParam(0);
            record.setClock(0);
            history->HistoEvent(record);
        }
        clearLatchedTargets();
    });
}

void PollingEngine::clearLatchedTargets()
{
    const std::shared_ptr<MirrorClasses> mirrors = config().Mirrors();
    for (int m = 1; m <= Limits::Modules; ++m) {
        PanelClass& panel = panelAt(m);
        // A target out of service keeps its outputs and its states.
        if (!panel.Active())
            continue;
        for (int c = 1; c <= panel.ChannelCount(); ++c) {
            ChannelClass& channel = ConfigAccess::channel(panel, c);
            if (channel.State() == 0)
                continue;
            bool latched = false;
            bool sourceActive = false;
            for (const std::shared_ptr<MirrorClass>& mirror : *mirrors) {
                if (mirror->ToModule() != m || mirror->ToChannel() != c
                    || mirror->MirrorType() != Miroirs::MirrorTypeLatch)
                    continue;
                latched = true;
                // A source outside the bus (a file's) is never active.
                const int from = mirror->FromModule();
                const int fromChannel = mirror->FromChannel();
                if (from >= 1 && from <= Limits::Modules && fromChannel >= 0 && fromChannel <= Limits::LastChannel
                    && ConfigAccess::channel(panelAt(from), fromChannel).State() != 0) {
                    sourceActive = true;
                    break;
                }
            }
            // Cleared on the module first: a line that is down, or a stop,
            // leaves it for the next night.
            if (!latched || sourceActive || !busGoesOn())
                continue;
            const int model = panel.ActualModel();
            if (model == Bus::ModelK6200TX) {
                executeWrite(qint16(m), Bus::RegHorn, 1);
                for (int other = 1; other <= panel.ChannelCount(); ++other)
                    if (ConfigAccess::channel(panel, other).State() == -1)
                        executeWrite(qint16(m), Bus::RegChannelState + other - 1, 0);
                executeWrite(qint16(m), Bus::RegChannelState + c - 1, 0);
            } else if (isResetByChannels(model)) {
                executeWrite(qint16(m), Bus::RegChannelCommand + c, 0);
            }
            channel.setState(0);
        }
    }
}

void PollingEngine::executeWrite(qint16 module, int reg, qint16 value)
{
    // Once, whatever the outcome: the next night tries again.
    TraiteCommande(*CommandClass::Write(module, reg, {value}));
}
