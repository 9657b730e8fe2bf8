#include "program/bus/Miroirs.h"

#include "program/bus/BusConstants.h"
#include "program/bus/CommandClass.h"
#include "program/bus/ConfigAccess.h"
#include "program/bus/EventClass.h"
#include "program/bus/PollingEngine.h"
#include "program/bus/wPolling.h"

#include "program/core/ConfigClass.h"
#include "program/core/FormNames.h"
#include "program/core/Limits.h"
#include "program/core/MirrorClass.h"
#include "program/core/MirrorClasses.h"
#include "program/core/PanelClass.h"

#include "VexLib22/_LogFileClass.h"
#include "platform/Forms.h"
#include "platform/Guard.h"
#include "platform/RtError.h"
#include "platform/Values.h"

#include <set>
#include <utility>
#include <vector>

namespace {

// The channels a buffer module mirrors one by one.
constexpr int kLastBufferChannel = Limits::LastChannelOfOthers;
// Module-wide code of an acknowledgement at the module ("ACK CL").
constexpr int kModuleAcknowledged = 2;
// A state code from which a channel is in fault (first or second fault).
constexpr int kFirstFault = 3;
constexpr int kBitsPerChannel = 3;
constexpr int kChannelMask = 7;

enum class Family { Buffer, Packed, None };

Family family(int model)
{
    switch (model) {
    case Bus::ModelK7150:
    case Bus::ModelK7100:
        return Family::Buffer;
    case Bus::ModelK6200TX:
        return Family::Packed;
    default:
        return Family::None;
    }
}

QString qualified(const char* routine)
{
    return QStringLiteral("Miroirs.") + QLatin1String(routine);
}

} // namespace

// ---- Rules ------------------------------------------------------------------

Miroirs::Action Miroirs::Choose(int sourceModel, int fromChannel, int targetModel, int toChannel)
{
    const Family target = family(targetModel);
    switch (family(sourceModel)) {
    case Family::Buffer:
        if (fromChannel == 0) {
            if (target == Family::Buffer)
                return Action::R3R3;
            if (target == Family::Packed)
                return toChannel == 0 ? Action::R3R2 : Action::Error;
            return Action::Nothing;
        }
        if (fromChannel < 1 || fromChannel > kLastBufferChannel)
            return Action::Error;
        if (target == Family::Buffer)
            return toChannel >= 1 && toChannel <= kLastBufferChannel ? Action::V3V3 : Action::Error;
        if (target == Family::Packed)
            return toChannel >= 1 && toChannel <= Limits::LastChannel ? Action::V3V2 : Action::Error;
        return Action::Nothing;
    case Family::Packed:
        if (fromChannel != 0)
            return Action::Error;
        if (target == Family::Buffer)
            return toChannel == 0 ? Action::R2R3 : Action::Error;
        if (target == Family::Packed)
            return toChannel == 0 ? Action::R2R2 : Action::Error;
        return Action::Nothing;
    case Family::None:
        break;
    }
    return Action::Error;
}

std::optional<qint16> Miroirs::V3V3Value(int param, int aff, int mirrorType)
{
    if (param == 0 && aff == 1)
        return qint16(3);
    if (param == 1 && aff == 1)
        return std::nullopt;
    if (aff == 0)
        return qint16(0);
    if (param == 1 && aff >= 2) {
        if (mirrorType == MirrorTypeCopy)
            return qint16(2);
        if (mirrorType == MirrorTypeLatch)
            return qint16(3);
    }
    return std::nullopt;
}

QVector<qint16> Miroirs::PackedStates(const PanelClass& panel)
{
    const int channels = std::min<int>(panel.ChannelCount(), Limits::LastChannel);
    QVector<qint16> words;
    for (int ch = 1; ch <= channels; ++ch) {
        const int k = (ch - 1) / ChannelsPerPackedWord;
        if (words.size() <= k)
            words.append(0);
        // Three bits each: a state outside 0..7 must not spill onto its neighbours.
        const int bits = (panel.Channel(qint16(ch))->State() & kChannelMask)
                         << (kBitsPerChannel * ((ch - 1) % ChannelsPerPackedWord));
        words[k] = qint16(quint16(words[k]) | quint16(bits));
    }
    return words;
}

QString Miroirs::ErrorLine(const plat::DateTime& at, const QString& mirrorId)
{
    const QString line = plat::formatShortDate(at) + QLatin1Char(' ') + plat::formatLongTime(at)
                         + QStringLiteral(" MIRROR ERROR   ") + mirrorId;
    return plat::Trim(line).left(ErrorLineMax);
}

bool Miroirs::IsMirrorLoop(const MirrorClasses& mirrors, int module, int channel, int startModule, int startChannel)
{
    using Point = std::pair<int, int>;
    const Point start{startModule, startChannel};
    if (Point{module, channel} == start)
        return true;
    // Walked backwards, depth first in list order; a point seen once is not
    // followed again, so a cycle in the list ends the walk instead of the stack.
    std::set<Point> seen{{module, channel}};
    std::vector<Point> pending{{module, channel}};
    while (!pending.empty()) {
        const Point at = pending.back();
        pending.pop_back();
        std::vector<Point> sources;
        for (const std::shared_ptr<MirrorClass>& m : mirrors) {
            if (m->ToModule() != at.first || m->ToChannel() != at.second)
                continue;
            const Point source{m->FromModule(), m->FromChannel()};
            if (source == start)
                return true;
            if (seen.insert(source).second)
                sources.push_back(source);
        }
        // The first source of the list is followed first.
        pending.insert(pending.end(), sources.rbegin(), sources.rend());
    }
    return false;
}

// ---- The engine -------------------------------------------------------------

PollingEngine& Miroirs::engine() const
{
    if (m_engine)
        return *m_engine;
    auto* form = qobject_cast<wPolling*>(plat::Forms::Find(FormNames::wPolling));
    if (!form)
        plat::raise(plat::rt::ObjectVariableNotSet);
    return form->engine();
}

void Miroirs::write(int module, int reg, const QVector<qint16>& values)
{
    PollingEngine& e = engine();
    e.SendCommand(CommandClass::Write(module, reg, values, e.now()));
}

// ---- Routines ---------------------------------------------------------------

void Miroirs::DoMirrors(const EventClass& evt)
{
    plat::guard(qualified("DoMirrors"), [&] {
        // A copy: nothing here changes the list, but a routine's report runs a
        // message loop in which a screen could.
        const std::vector<std::shared_ptr<MirrorClass>> list(ConfigAccess::config().Mirrors()->begin(),
                                                             ConfigAccess::config().Mirrors()->end());
        for (const std::shared_ptr<MirrorClass>& m : list) {
            if (m->FromModule() != evt.Panel() || m->FromChannel() != evt.Chnl())
                continue;
            const int source = ConfigAccess::panel(m->FromModule()).Model();
            const int target = m->ToModule() >= 1 && m->ToModule() <= Limits::Modules
                                   ? int(ConfigAccess::panel(m->ToModule()).Model())
                                   : Bus::ModelNone;
            switch (Choose(source, m->FromChannel(), target, m->ToChannel())) {
            case Action::Nothing: break;
            case Action::R3R3: TraitementR3R3(evt, *m); break;
            case Action::R3R2: TraitementR3R2(evt, *m); break;
            case Action::V3V3: TraitementV3V3(evt, *m); break;
            case Action::V3V2: TraitementV3V2(evt, *m); break;
            case Action::R2R3: TraitementR2R3(evt, *m); break;
            case Action::R2R2: TraitementR2R2(evt, *m); break;
            case Action::Error: LogErreur(*m); break;
            }
        }
    });
}

void Miroirs::TraitementR2R2Self(const EventClass& evt)
{
    MirrorClass self;
    self.setFromModule(evt.Panel());
    self.setToModule(evt.Panel());
    TraitementR2R2(evt, self);
}

void Miroirs::TraitementR3R3(const EventClass& evt, const MirrorClass& mirror)
{
    plat::guard(qualified("TraitementR3R3"), [&] {
        if (evt.Aff() == kModuleAcknowledged)
            write(mirror.ToModule(), Bus::RegModuleCommand, {evt.Aff()});
    });
}

void Miroirs::TraitementR3R2(const EventClass& evt, const MirrorClass& mirror)
{
    plat::guard(qualified("TraitementR3R2"), [&] {
        if (evt.Aff() == kModuleAcknowledged)
            TraitementR2R2(evt, mirror);
    });
}

void Miroirs::TraitementR2R3(const EventClass&, const MirrorClass& mirror)
{
    plat::guard(qualified("TraitementR2R3"), [&] {
        write(mirror.ToModule(), Bus::RegModuleCommand, {qint16(Bus::ModuleCommandAcknowledge)});
    });
}

void Miroirs::TraitementV3V3(const EventClass& evt, const MirrorClass& mirror)
{
    plat::guard(qualified("TraitementV3V3"), [&] {
        if (const std::optional<qint16> value = V3V3Value(evt.Param(), evt.Aff(), mirror.MirrorType()))
            write(mirror.ToModule(), Bus::RegChannelCommand + mirror.ToChannel(), {*value});
    });
}

void Miroirs::TraitementV3V2(const EventClass& evt, const MirrorClass& mirror)
{
    plat::guard(qualified("TraitementV3V2"), [&] {
        ChannelClass& target = ConfigAccess::channel(mirror.ToModule(), mirror.ToChannel());
        const int reg = Bus::RegChannelState + mirror.ToChannel() - 1;
        auto set = [&](qint16 state) {
            target.setState(state);
            target.setMirrorType(mirror.MirrorType());
        };
        const int param = evt.Param();
        const int aff = evt.Aff();
        if (param == 0 && (aff == 0 || aff == 1)) {
            write(mirror.ToModule(), reg, {qint16(aff)});
            set(qint16(aff));
        } else if (param != 0 && aff == 0) {
            if (target.State() == 1) {
                write(mirror.ToModule(), reg, {0});
                set(0);
            } else if (target.State() > 0) {
                // Still latched at the target: cleared by the next whole-module copy.
                target.setState(-1);
            }
        } else if (param == 1 && aff >= kFirstFault) {
            write(mirror.ToModule(), reg, {qint16(aff)});
            write(mirror.ToModule(), Bus::RegHorn, {1});
            set(qint16(aff));
        }
    });
}

void Miroirs::TraitementR2R2(const EventClass&, const MirrorClass& mirror)
{
    plat::guard(qualified("TraitementR2R2"), [&] {
        PanelClass& target = ConfigAccess::panel(mirror.ToModule());
        for (int ch = 1; ch <= Limits::LastChannel; ++ch) {
            ChannelClass& c = ConfigAccess::channel(target, ch);
            if (c.MirrorType() == MirrorTypeLatch) {
                if (c.State() == -1)
                    c.setState(0);
                else if (c.State() >= kFirstFault)
                    c.setState(1);
            } else if (c.MirrorType() == MirrorTypeCopy) {
                c.setState(0);
            }
        }
        write(mirror.ToModule(), Bus::RegPackedStates, PackedStates(target));
    });
}

void Miroirs::LogErreur(const MirrorClass& mirror)
{
    plat::guard(qualified("LogErreur"), [&] {
        PollingEngine& e = engine();
        e.traceLog().Comment(ErrorLine(e.now(), mirror.ID()));
        e.traceLog().FlushFile();
    });
}
