#pragma once
// What the words of a module's replies to the polling mean, apart from any
// port, clock or configuration: the registers one poll reads of each model,
// the entries of an event buffer (models 1 and 3), the status word (model 2)
// and the channel states (models 4 and 5). The events come back without
// module, number or date; the engine adds them.

#include "program/bus/EventClass.h"

#include <QVector>

#include <optional>
#include <vector>

namespace ReplyDecoder {

// Channel states that one poll of a model 4 or 5 module reads.
constexpr int StateWords = 12;

// The first register and the number of words that one poll reads of a module
// of that model; nothing for a model that is not polled.
struct PollRead {
    int reg = 0;
    int words = 0;
};
std::optional<PollRead> pollRead(int model);

// How many buffer entries to read after the count word (words[0]): its low
// byte, at most Bus::MaxEventsPerRead. Run-time error 9 without a word.
int bufferCount(const QVector<qint16>& words);

// One buffer entry. The channel nibble 15 is the module itself (channel 0);
// code 5 is taken as 0; the clock is the entry's 20 bits. Channel 0 with code 1
// is the horn acknowledged at the module, which is no event.
struct BufferEntry {
    bool hornAcknowledged = false;
    EventClass event;
};
BufferEntry bufferEntry(quint16 first, quint16 second);
// Every entry of a buffer read, two words each, in order (a last odd word is
// no entry).
std::vector<BufferEntry> bufferEntries(const QVector<qint16>& words);

// A non-zero status word (words[0]) is one module-wide event of code 2;
// nothing for 0. Run-time error 9 without a word.
std::optional<EventClass> statusEvent(const QVector<qint16>& words);

// The channels 1..StateWords whose state in words differs from the one known
// (known[c - 1]), in channel order, each as an event of that state. Run-time
// error 9 for fewer than StateWords words or known states.
std::vector<EventClass> stateChanges(const QVector<qint16>& words, const QVector<qint16>& known);

} // namespace ReplyDecoder
