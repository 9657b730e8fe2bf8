// Fuzz target: the replies of the modules to the polling, through the frame
// check and the reply decoder. An input is a model byte, then the reply to
// that model's poll read and, for a module with an event buffer, the reply to
// the buffer read that its count asks for. Beyond the sanitizers' findings it
// stops on a decoded value that no module can report (a field outside its
// bits, an event whose packed ID does not fit), on a buffer entry that does
// not encode back to the words it came from, and on a decoder that refuses
// words it has enough of. The same bytes are also decoded as bare words, so
// that inputs without a good CRC still reach the decoder.

#include "platform/Guard.h"
#include "platform/RtError.h"
#include "program/bus/BusConstants.h"
#include "program/bus/ModbusFrames.h"
#include "program/bus/ReplyDecoder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <dlfcn.h>

namespace {

// The frame routines take their words apart with the function library's
// classes, which the program creates through the registry store: the library
// built beside this program is registered in a store of its own.
bool registerLibrary()
{
    const QString folder = QFileInfo(QStringLiteral("/proc/self/exe")).canonicalPath();
    qputenv("PLX_REGISTRY_FILE", QFile::encodeName(QDir::tempPath() + QStringLiteral("/fuzz_bus_replies-Registry.ini")));
    void* handle = ::dlopen(QFile::encodeName(folder + QStringLiteral("/libVexLib22.so")).constData(), RTLD_NOW);
    auto reg = handle ? reinterpret_cast<int32_t (*)()>(::dlsym(handle, "DllRegisterServer")) : nullptr;
    return reg && reg() == 0;
}

bool setUp()
{
    if (!registerLibrary()) {
        std::fprintf(stderr, "fuzz_bus_replies: cannot register libVexLib22.so: %s\n", ::dlerror());
        std::abort();
    }
    // EventClass::ID reports a field that does not fit: here that is a finding.
    plat::setErrorReporter([](const QString&, const plat::RtError&) { std::abort(); });
    return true;
}

void require(bool condition)
{
    if (!condition)
        std::abort();
}

QVector<qint16> wordsOf(const QByteArray& bytes)
{
    QVector<qint16> words;
    for (qsizetype i = 0; i + 1 < bytes.size(); i += 2)
        words << qint16((quint8(bytes[i]) << 8) | quint8(bytes[i + 1]));
    return words;
}

void checkEvent(const EventClass& ev)
{
    (void)ev.ID();
}

int countOf(const QVector<qint16>& words)
{
    int count = -1;
    try {
        count = ReplyDecoder::bufferCount(words);
        require(!words.isEmpty());
        require(count == std::min<int>(quint16(words[0]) & 0xFF, Bus::MaxEventsPerRead));
    } catch (const plat::RtError& e) {
        require(words.isEmpty() && e.number() == plat::rt::SubscriptOutOfRange);
    }
    return count;
}

void checkEntries(const QVector<qint16>& words)
{
    const std::vector<ReplyDecoder::BufferEntry> entries = ReplyDecoder::bufferEntries(words);
    require(qsizetype(entries.size()) == words.size() / 2);
    for (size_t i = 0; i < entries.size(); ++i) {
        const quint16 first = quint16(words[2 * i]);
        const quint16 second = quint16(words[2 * i + 1]);
        const ReplyDecoder::BufferEntry& e = entries[i];
        const int chnl = first >> 12;
        const int code = (first >> 4) & 0x0F;
        if (e.hornAcknowledged) {
            require((chnl == 0 || chnl == 15) && code == 1);
            continue;
        }
        const EventClass& ev = e.event;
        require(ev.Chnl() >= 0 && ev.Chnl() <= 14);
        require(ev.Param() >= 0 && ev.Param() <= 15);
        require(ev.Aff() >= 0 && ev.Aff() <= 15 && ev.Aff() != 5);
        require(ev.Clock() >= 0 && ev.Clock() < (1 << 20));
        // Encoded back, the entry is what the module sent, with the module's
        // own channel (15) read as 0 and code 5 read as 0.
        const int wantChnl = chnl == 15 ? 0 : chnl;
        const int wantCode = code == 5 ? 0 : code;
        require(ev.Chnl() == wantChnl && ev.Aff() == wantCode && ev.Param() == ((first >> 8) & 0x0F));
        require(ev.Clock() == ((first & 0x0F) << 16 | second));
        checkEvent(ev);
    }
}

void checkStatus(const QVector<qint16>& words)
{
    try {
        const std::optional<EventClass> ev = ReplyDecoder::statusEvent(words);
        require(!words.isEmpty());
        require(ev.has_value() == (words[0] != 0));
        if (ev) {
            require(ev->Chnl() == EventClass::ChnlModuleWide && ev->Aff() == 2 && ev->Param() == 0);
            checkEvent(*ev);
        }
    } catch (const plat::RtError& e) {
        require(words.isEmpty() && e.number() == plat::rt::SubscriptOutOfRange);
    }
}

void checkStates(const QVector<qint16>& words)
{
    // Known states from the words themselves, shifted by one: some differ.
    QVector<qint16> known = words.mid(1);
    known.resize(ReplyDecoder::StateWords);
    try {
        const std::vector<EventClass> changes = ReplyDecoder::stateChanges(words, known);
        require(words.size() >= ReplyDecoder::StateWords);
        int differing = 0;
        for (int c = 0; c < ReplyDecoder::StateWords; ++c)
            differing += words[c] != known[c];
        require(int(changes.size()) == differing);
        int last = 0;
        for (const EventClass& ev : changes) {
            require(ev.Chnl() > last && ev.Chnl() <= ReplyDecoder::StateWords);
            require(ev.Aff() == words[ev.Chnl() - 1] && ev.Aff() != known[ev.Chnl() - 1]);
            last = ev.Chnl();
        }
    } catch (const plat::RtError& e) {
        require(words.size() < ReplyDecoder::StateWords && e.number() == plat::rt::SubscriptOutOfRange);
    }
}

// A read reply at the front of bytes, checked as the frame routine checks it;
// its words, or nothing.
std::optional<QVector<qint16>> takeReply(QByteArray& bytes, int count)
{
    const int length = ModbusFrames::readReplyLength(count);
    if (bytes.size() < length)
        return std::nullopt;
    const QByteArray frame = bytes.left(length);
    bytes.remove(0, length);
    if (ModbusFrames::checkReadReply(frame, quint8(frame[0]), count) != ModbusFrames::Reply::Ok)
        return std::nullopt;
    const QVector<qint16> words = ModbusFrames::replyWords(frame, count);
    require(words.size() == count);
    return words;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const bool ready = setUp();
    (void)ready;
    if (size < 1)
        return 0;
    const int model = data[0] % 6;
    QByteArray rest(reinterpret_cast<const char*>(data + 1), qsizetype(size - 1));

    const QVector<qint16> bare = wordsOf(rest);
    countOf(bare);
    checkEntries(bare);
    checkStatus(bare);
    checkStates(bare);

    const std::optional<ReplyDecoder::PollRead> read = ReplyDecoder::pollRead(model);
    require(read.has_value() == (model >= 1 && model <= 5));
    if (!read)
        return 0;
    const std::optional<QVector<qint16>> words = takeReply(rest, read->words);
    if (!words)
        return 0;
    switch (model) {
    case Bus::ModelK7150:
    case Bus::ModelK7100:
        if (const int count = countOf(*words); count > 0) {
            if (const std::optional<QVector<qint16>> entries = takeReply(rest, 2 * count)) {
                checkEntries(*entries);
                require(ReplyDecoder::bufferEntries(*entries).size() == size_t(count));
            }
        }
        break;
    case Bus::ModelK6200TX:
        checkStatus(*words);
        break;
    default:
        checkStates(*words);
        break;
    }
    return 0;
}
