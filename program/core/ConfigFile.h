#pragma once
// The binary configuration file (working ".dat" file and user ".px2" files):
// its constants, the byte streams that the model's records are written to and
// read from, and the structural check that every file passes before anything
// of it reaches the model.

#include "program/core/Limits.h"
#include "program/core/TextIds.h"

#include <QBuffer>
#include <QByteArray>
#include <QString>
#include <cstdint>

namespace ConfigFile {

// The program's title as the file carries it, before the version
// (Version.h). The title is a product name: files of other builds only read
// when these bytes agree.
inline const QString kTitle = QStringLiteral("Pellonaris II");

constexpr int kTitleWidth = 24;
constexpr int kSettingsArea = 1024;          // the body starts here unless the settings pass it
constexpr int kSoundCount = Limits::LastPriority + 1; // alarm sounds of priorities 0..99
constexpr int kOldSoundCount = 6;            // revisions up to 22 stored priorities 0..5 only
constexpr int kLastRevisionWithOldSounds = 22;
constexpr int kPrinterInitCount = 8;
constexpr int kChannelFixedBytes = 22;       // a channel record without its two strings
constexpr int kUserMinBytes = 12;            // two empty counted strings and a level
constexpr int kMirrorBytes = 10;

// Results of ConfigClass::Read and Save; the failures are text ids.
constexpr int kReadOk = 0;
constexpr int kSaveOk = -1;
constexpr int kReadFailed = TextIds::ConfigReadFailed;
constexpr int kWriteFailed = TextIds::ConfigWriteFailed;
constexpr int kNotConfigFile = TextIds::NotConfigFile;
constexpr int kNewerVersion = TextIds::NewerConfigVersion;

// Major and minor as the reader compares them: "2.0002" for 2.2, "2.00010" for 2.10.
QString versionText(int major, int minor);

// Little-endian numbers and Windows-1252 texts appended to a byte array.
class Writer {
public:
    explicit Writer(QByteArray& out);
    void u8(uint8_t v);
    void i16(int16_t v);
    void i32(int32_t v);
    void boolean(bool v);                    // True is -1
    void string(const QString& text);        // counted string
    void fixed(const QString& text, int width);
    void zeros(qint64 count);
    qint64 pos() const;

private:
    QBuffer m_buffer;
};

// The same fields read back from a file held in memory. Reading past the end
// raises run-time error 62; a counted string longer than what is left raises.
class Reader {
public:
    explicit Reader(const QByteArray& data);
    uint8_t u8();
    int16_t i16();
    int32_t i32();
    bool boolean();
    // Counted string, trimmed of spaces unless asked not to.
    QString string(bool trimSpaces = true);
    QString fixed(int width);
    void skip(qint64 count);
    qint64 pos() const;
    qint64 remaining() const;

private:
    void take(char* to, qint64 count);
    QBuffer m_buffer;
};

// What the check found: whether the file may be read and, when not, where and why.
struct Report {
    int result = kReadFailed;   // kReadOk, kReadFailed, kNotConfigFile or kNewerVersion
    qint64 offset = 0;          // byte offset of the field that refused the file
    QString reason;             // empty when the file is accepted
    qint64 size = 0;
    QString title;              // trimmed
    int major = 0;
    int minor = 0;
    int revision = 0;
    int soundCount = 0;
    QList<int16_t> sounds;      // the sound numbers as stored, priority 0 first
    int scrambleKey = 0;
    int userCount = 0;
    qint64 settingsEnd = 0;     // where the settings end, before the padding
    qint64 bodyOffset = 0;      // first module record
    qint64 textsOffset = 0;     // first library text
    qint64 mirrorsOffset = 0;   // the mirror count
    int mirrorCount = 0;
    qint64 end = 0;             // first byte after the last mirror
};

// Walks the whole layout without building anything: every count and length
// is checked against what the file still holds. A file it accepts reads whole.
Report check(const QByteArray& data);

} // namespace ConfigFile
