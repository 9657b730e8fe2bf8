#include "program/bus/ReplyDecoder.h"

#include "platform/RtError.h"
#include "program/bus/BusConstants.h"

#include <algorithm>

namespace ReplyDecoder {

namespace {

constexpr int kChannelOfTheModule = 15;
constexpr int kCodeTakenAsNormal = 5;
constexpr int kHornAcknowledged = 1;
constexpr int kStatusCode = 2;

} // namespace

std::optional<PollRead> pollRead(int model)
{
    switch (model) {
    case Bus::ModelK7150:
    case Bus::ModelK7100:
        return PollRead{Bus::RegEventCount, 1};
    case Bus::ModelK6200TX:
        return PollRead{Bus::RegStatus, 1};
    case Bus::ModelT7100:
    case Bus::ModelT7150:
        return PollRead{Bus::RegChannelState, StateWords};
    default:
        return std::nullopt;
    }
}

int bufferCount(const QVector<qint16>& words)
{
    if (words.isEmpty())
        plat::raise(plat::rt::SubscriptOutOfRange);
    return std::min<int>(quint16(words[0]) & 0xFF, Bus::MaxEventsPerRead);
}

BufferEntry bufferEntry(quint16 first, quint16 second)
{
    const int hi = first >> 8;
    const int lo = first & 0xFF;
    int chnl = hi >> 4;
    if (chnl == kChannelOfTheModule)
        chnl = EventClass::ChnlModuleWide;
    int aff = lo >> 4;
    BufferEntry entry;
    if (chnl == EventClass::ChnlModuleWide && aff == kHornAcknowledged) {
        entry.hornAcknowledged = true;
        return entry;
    }
    if (aff == kCodeTakenAsNormal)
        aff = 0;
    entry.event.setChnl(qint16(chnl));
    entry.event.setParam(qint16(hi & 0x0F));
    entry.event.setAff(qint16(aff));
    entry.event.setClock(qint32(lo & 0x0F) * 65536 + qint32(second));
    return entry;
}

std::vector<BufferEntry> bufferEntries(const QVector<qint16>& words)
{
    std::vector<BufferEntry> entries;
    for (qsizetype i = 0; i + 1 < words.size(); i += 2)
        entries.push_back(bufferEntry(quint16(words[i]), quint16(words[i + 1])));
    return entries;
}

std::optional<EventClass> statusEvent(const QVector<qint16>& words)
{
    if (words.isEmpty())
        plat::raise(plat::rt::SubscriptOutOfRange);
    if (words[0] == 0)
        return std::nullopt;
    EventClass ev;
    ev.setChnl(EventClass::ChnlModuleWide);
    ev.setParam(0);
    ev.setAff(kStatusCode);
    ev.setClock(0);
    return ev;
}

std::vector<EventClass> stateChanges(const QVector<qint16>& words, const QVector<qint16>& known)
{
    if (words.size() < StateWords || known.size() < StateWords)
        plat::raise(plat::rt::SubscriptOutOfRange);
    std::vector<EventClass> changes;
    for (int c = 1; c <= StateWords; ++c) {
        const qint16 state = words[c - 1];
        if (state == known[c - 1])
            continue;
        EventClass ev;
        ev.setChnl(qint16(c));
        ev.setParam(0);
        ev.setAff(state);
        changes.push_back(ev);
    }
    return changes;
}

} // namespace ReplyDecoder
