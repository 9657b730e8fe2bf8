#include "program/core/ConfigFile.h"

#include "platform/Cp1252.h"
#include "platform/RtError.h"
#include "platform/Values.h"
#include "program/core/Global.h"
#include "program/core/Limits.h"
#include "program/core/Version.h"

#include <QtEndian>

#include <algorithm>

namespace ConfigFile {

QString versionText(int major, int minor)
{
    return QString::number(major) + QStringLiteral(".000") + QString::number(minor);
}

// ---- Writer -----------------------------------------------------------------

Writer::Writer(QByteArray& out) : m_buffer(&out)
{
    m_buffer.open(QIODevice::WriteOnly | QIODevice::Append);
}

void Writer::u8(uint8_t v)
{
    m_buffer.putChar(char(v));
}

void Writer::i16(int16_t v)
{
    char b[2];
    qToLittleEndian<qint16>(v, b);
    m_buffer.write(b, 2);
}

void Writer::i32(int32_t v)
{
    char b[4];
    qToLittleEndian<qint32>(v, b);
    m_buffer.write(b, 4);
}

void Writer::boolean(bool v)
{
    i16(v ? -1 : 0);
}

void Writer::string(const QString& text)
{
    Global::PutString(m_buffer, text);
}

void Writer::fixed(const QString& text, int width)
{
    QByteArray bytes = plat::Cp1252::encode(text.left(width));
    if (bytes.size() < width)
        bytes.append(width - bytes.size(), ' ');
    m_buffer.write(bytes);
}

void Writer::zeros(qint64 count)
{
    if (count > 0)
        m_buffer.write(QByteArray(count, '\0'));
}

qint64 Writer::pos() const
{
    return m_buffer.pos();
}

// ---- Reader -----------------------------------------------------------------

Reader::Reader(const QByteArray& data)
{
    m_buffer.setData(data);
    m_buffer.open(QIODevice::ReadOnly);
}

void Reader::take(char* to, qint64 count)
{
    if (m_buffer.read(to, count) != count)
        plat::raise(plat::rt::InputPastEndOfFile);
}

uint8_t Reader::u8()
{
    char b;
    take(&b, 1);
    return uint8_t(b);
}

int16_t Reader::i16()
{
    char b[2];
    take(b, 2);
    return qFromLittleEndian<qint16>(b);
}

int32_t Reader::i32()
{
    char b[4];
    take(b, 4);
    return qFromLittleEndian<qint32>(b);
}

bool Reader::boolean()
{
    return i16() != 0;
}

QString Reader::string(bool trimSpaces)
{
    QString text;
    Global::GetString(m_buffer, text, trimSpaces);
    return text;
}

QString Reader::fixed(int width)
{
    if (remaining() < width)
        plat::raise(plat::rt::InputPastEndOfFile);
    return plat::Cp1252::decode(m_buffer.read(width));
}

void Reader::skip(qint64 count)
{
    if (count <= 0)
        return;
    if (remaining() < count)
        plat::raise(plat::rt::InputPastEndOfFile);
    m_buffer.seek(m_buffer.pos() + count);
}

qint64 Reader::pos() const
{
    return m_buffer.pos();
}

qint64 Reader::remaining() const
{
    return m_buffer.size() - m_buffer.pos();
}

// ---- Check --------------------------------------------------------------------

namespace {

struct Refused {
    int result;
    qint64 offset;
    QString reason;
};

// A cursor that only measures; it names the field it stands in when it refuses.
class Walker {
public:
    explicit Walker(const QByteArray& data) : m_data(data.constData()), m_size(data.size()) {}

    qint64 pos() const { return m_pos; }
    qint64 left() const { return m_size - m_pos; }

    // Module and channel currently walked (0 = outside them), for the reasons.
    int module = 0;
    int channel = 0;

    [[noreturn]] void refuse(const char* field, const QString& why, qint64 at = -1) const
    {
        throw Refused{kReadFailed, at < 0 ? m_pos : at, where(field) + QStringLiteral(": ") + why};
    }

    void need(qint64 count, const char* field) const
    {
        if (left() < count)
            refuse(field, QStringLiteral("needs %1 bytes, the file ends %2 bytes later").arg(count).arg(left()));
    }

    void skip(qint64 count, const char* field)
    {
        need(count, field);
        m_pos += count;
    }

    int16_t i16(const char* field)
    {
        need(2, field);
        const int16_t v = qFromLittleEndian<qint16>(m_data + m_pos);
        m_pos += 2;
        return v;
    }

    int32_t i32(const char* field)
    {
        need(4, field);
        const int32_t v = qFromLittleEndian<qint32>(m_data + m_pos);
        m_pos += 4;
        return v;
    }

    uint8_t u8(const char* field)
    {
        need(1, field);
        return uint8_t(m_data[m_pos++]);
    }

    void string(const char* field)
    {
        const qint64 at = m_pos;
        const int32_t count = i32(field);
        if (count < 0)
            refuse(field, QStringLiteral("negative string length %1").arg(count), at);
        if (count > left())
            refuse(field, QStringLiteral("string length %1 exceeds the %2 bytes left").arg(count).arg(left()), at);
        m_pos += count;
    }

    QByteArray bytes(qint64 count, const char* field)
    {
        need(count, field);
        const QByteArray b(m_data + m_pos, count);
        m_pos += count;
        return b;
    }

private:
    QString where(const char* field) const
    {
        QString w;
        if (module > 0)
            w = QStringLiteral("module %1 ").arg(module);
        if (channel > 0)
            w += QStringLiteral("channel %1 ").arg(channel);
        return w + QString::fromLatin1(field);
    }

    const char* m_data;
    qint64 m_size;
    qint64 m_pos = 0;
};

void walk(Walker& w, Report& r)
{
    const QByteArray titleBytes = w.bytes(kTitleWidth, "title");
    const QString title = plat::Trim(plat::Cp1252::decode(titleBytes));
    r.title = title;
    if (title != kTitle) {
        // Quoted only when it is plain text: the bytes of another kind of file
        // would garble the line that shows the reason.
        const bool plain = std::all_of(title.begin(), title.end(), [](QChar c) { return c >= u' ' && c <= u'~'; });
        throw Refused{kNotConfigFile, 0,
                      (plain ? QStringLiteral("title \"%1\" is not \"%2\"").arg(title, kTitle)
                             : QStringLiteral("the file does not begin with the title \"%1\"").arg(kTitle))
                          + QStringLiteral(": not a configuration file of this program")};
    }

    const qint64 versionAt = w.pos();
    r.major = w.i16("major version");
    r.minor = w.i16("minor version");
    r.revision = w.i16("revision");
    if (versionText(r.major, r.minor) > versionText(Version::Major, Version::Minor))
        throw Refused{kNewerVersion, versionAt,
                      QStringLiteral("version %1.%2 (\"%3\") is newer than this program's %4.%5 (\"%6\")")
                          .arg(r.major)
                          .arg(r.minor)
                          .arg(versionText(r.major, r.minor))
                          .arg(Version::Major)
                          .arg(Version::Minor)
                          .arg(versionText(Version::Major, Version::Minor))};
    w.i16("reserved word");

    w.string("bus settings");
    w.string("printer settings");
    w.i16("automatic start");
    w.i16("print bus result");
    r.soundCount = r.revision <= kLastRevisionWithOldSounds ? kOldSoundCount : kSoundCount;
    for (int p = 0; p < r.soundCount; ++p)
        r.sounds.push_back(w.i16("alarm sounds"));
    w.skip(4, "option masks");
    r.scrambleKey = w.u8("scramble key");

    const qint64 usersAt = w.pos();
    r.userCount = w.i16("user count");
    if (r.userCount < 0)
        w.refuse("user count", QStringLiteral("negative count %1").arg(r.userCount), usersAt);
    if (qint64(r.userCount) * kUserMinBytes > w.left())
        w.refuse("user count",
                 QStringLiteral("%1 users need at least %2 bytes, %3 left")
                     .arg(r.userCount)
                     .arg(qint64(r.userCount) * kUserMinBytes)
                     .arg(w.left()),
                 usersAt);
    for (int u = 1; u <= r.userCount; ++u) {
        w.string("user name");
        w.string("user code");
        w.i32("user level");
    }

    w.string("printer settings (second copy)");
    w.i16("maximum printed line length");
    for (int i = 0; i < kPrinterInitCount; ++i)
        w.string("printer initialisation string");
    for (int i = 0; i < kPrinterInitCount; ++i)
        w.string("printer initialisation code");
    w.string("printer name");
    w.i16("inactivity time");
    r.settingsEnd = w.pos();
    w.skip(std::max<qint64>(kSettingsArea - w.pos(), 0), "padding of the settings");
    r.bodyOffset = w.pos();

    for (int m = 1; m <= Limits::Modules; ++m) {
        w.module = m;
        w.skip(2, "number and model");
        w.string("title");
        w.skip(6, "title colour and active flag");
        for (int c = 1; c <= Limits::LastChannel; ++c) {
            w.channel = c;
            w.string("screen text");
            w.string("print text");
            w.skip(kChannelFixedBytes, "settings");
        }
        w.channel = 0;
    }
    w.module = 0;

    r.textsOffset = w.pos();
    w.skip(qint64(Limits::LibraryTexts) * Limits::LibraryTextWidth, "library texts");
    w.skip(qint64(Limits::InstructionTexts) * Limits::InstructionTextWidth, "instruction texts");

    r.mirrorsOffset = w.pos();
    r.mirrorCount = w.i16("mirror count");
    if (r.mirrorCount < 0)
        w.refuse("mirror count", QStringLiteral("negative count %1").arg(r.mirrorCount), r.mirrorsOffset);
    if (qint64(r.mirrorCount) * kMirrorBytes > w.left())
        w.refuse("mirror count",
                 QStringLiteral("%1 mirrors need %2 bytes, %3 left")
                     .arg(r.mirrorCount)
                     .arg(qint64(r.mirrorCount) * kMirrorBytes)
                     .arg(w.left()),
                 r.mirrorsOffset);
    w.skip(qint64(r.mirrorCount) * kMirrorBytes, "mirrors");
    r.end = w.pos();
}

} // namespace

Report check(const QByteArray& data)
{
    Report r;
    r.size = data.size();
    Walker w(data);
    try {
        walk(w, r);
        r.result = kReadOk;
    } catch (const Refused& refused) {
        r.result = refused.result;
        r.offset = refused.offset;
        r.reason = refused.reason;
    }
    return r;
}

} // namespace ConfigFile
