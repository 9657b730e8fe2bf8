#include "program/screens/bus/ChannelTable.h"

#include "platform/Cp1252.h"
#include "platform/RtError.h"
#include "platform/Values.h"
#include "program/core/ChannelClass.h"
#include "program/core/Config.h"
#include "program/core/ConfigClass.h"
#include "program/core/ConfigCopy.h"
#include "program/core/Global.h"
#include "program/core/Limits.h"
#include "program/core/PanelClass.h"
#include "program/core/TextIds.h"
#include "program/screens/bus/ParamRows.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <optional>
#include <vector>

namespace ChannelTable {

namespace {

const QString kSource = QStringLiteral("ChannelTable");
const QString kLineEnd = QStringLiteral("\r\n");
constexpr QChar kTab = u'\t';

// The ranges the screens rely on when they show a channel, as the editor's rows bound them.
constexpr int kLastPrintType = TextIds::PrintTypeLast - TextIds::PrintTypeFirst;

// ---- Writing ----------------------------------------------------------------

QString number(int32_t v)
{
    return (v < 0 ? QString::number(v) : QLatin1Char(' ') + QString::number(v)) + QLatin1Char(' ');
}

QString flag(bool v)
{
    return number(v ? 1 : 0);
}

// A line break or a TAB inside a text would split its line when read back.
QString text(QString v)
{
    for (QChar& c : v)
        if (c == kTab || c == u'\r' || c == u'\n')
            c = u' ';
    return v;
}

QString line(int module, int channel, const ChannelClass& ch)
{
    const QString fields[Columns] = {
        number(module),
        number(channel),
        flag(ch.ScrAlm()),
        flag(ch.PrtAlm()),
        number(ch.TypeImp()),
        flag(ch.Klaxon()),
        number(ch.AlmPrio()),
        flag(ch.Histo()),
        number(ch.BibNum()),
        number(ch.HelpNum()),
        flag(ch.React()),
        number(ch.ReactTpo()),
        text(ch.ScreenText()),
        text(ch.PrintText()),
    };
    QString l;
    for (const QString& f : fields)
        l += f + kTab;
    return l + kLineEnd;
}

// ---- Reading ----------------------------------------------------------------

// One channel line as read, before anything reaches the configuration.
struct ChannelLine {
    int16_t module = 0;
    int16_t channel = 0;
    ChannelClass settings;
};

// The fields of one line, read as numbers with the reader's checks.
class Fields {
public:
    Fields(int lineNumber, QStringList fields) : m_line(lineNumber), m_fields(std::move(fields)) {}

    bool flag(Column c) const { return value(c) != 0.0; }

    int16_t integer(Column c, int first, int last, int outside = plat::rt::InvalidPropertyValue) const
    {
        return int16_t(within(c, whole(c, plat::CInt), first, last, outside));
    }

    int32_t longInteger(Column c, int first, int last) const
    {
        return within(c, whole(c, plat::CLng), first, last, plat::rt::InvalidPropertyValue);
    }

    const QString& text(Column c) const { return m_fields[c]; }

    [[noreturn]] void refuse(int error, Column c) const
    {
        const QString message = Config::GetText(200120)
                                    .replace(QStringLiteral("$2"), ColumnNames()[c])
                                    .replace(QStringLiteral("$1"), QString::number(m_line));
        throw plat::RtError(error, message, kSource);
    }

private:
    // Hexadecimal too long for a Long is the only number the reading itself refuses.
    double value(Column c) const
    {
        try {
            return plat::Val(m_fields[c]);
        } catch (const plat::RtError& e) {
            refuse(e.number(), c);
        }
    }

    template <class Convert>
    int32_t whole(Column c, Convert convert) const
    {
        const double v = value(c);
        try {
            return convert(v);
        } catch (const plat::RtError& e) {
            refuse(e.number(), c);
        }
    }

    int32_t within(Column c, int32_t v, int first, int last, int outside) const
    {
        if (v < first || v > last)
            refuse(outside, c);
        return v;
    }

    int m_line;
    QStringList m_fields;
};

// The settings of a channel line, or nothing for a line to skip.
std::optional<ChannelLine> readLine(int lineNumber, const QString& line)
{
    QStringList fields = line.split(kTab);
    // The header, an empty line and any line that does not begin with a module number.
    if (!Fields(lineNumber, {fields.first()}).flag(Pnl))
        return std::nullopt;
    const int count = int(fields.size());
    const Fields f(lineNumber, std::move(fields));
    if (count < Columns)
        f.refuse(plat::rt::SubscriptOutOfRange, Column(count));

    ChannelLine l;
    l.module = f.integer(Pnl, 1, Limits::Modules, plat::rt::SubscriptOutOfRange);
    l.channel = f.integer(Chnl, 0, Limits::LastChannel, plat::rt::SubscriptOutOfRange);
    ChannelClass& s = l.settings;
    s.setScrAlm(f.flag(Screen));
    s.setPrtAlm(f.flag(Print));
    s.setTypeImp(f.integer(TypePrt, 0, kLastPrintType));
    s.setKlaxon(f.flag(Klaxon));
    s.setAlmPrio(f.integer(Prio, Limits::FirstPriority, Limits::LastPriority));
    s.setHisto(f.flag(Histo));
    s.setBibNum(f.integer(Bib, 0, Limits::LibraryTexts));
    s.setHelpNum(f.integer(Help, 0, Limits::InstructionTexts));
    s.setReact(f.flag(React));
    s.setReactTpo(f.longInteger(Tempo, 0, int(Global::ReactivTimes().size())));
    s.setScreenText(f.text(TxtScr));
    s.setPrintText(f.text(TxtImp));
    return l;
}

// The lines of a text, ended by CR LF, LF or CR, the last one also by the text's end.
QStringList lines(const QString& text)
{
    QStringList result;
    qsizetype start = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c != u'\r' && c != u'\n')
            continue;
        result << text.mid(start, i - start);
        if (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n')
            ++i;
        start = i + 1;
    }
    if (start < text.size())
        result << text.mid(start);
    return result;
}

// ---- Encodings ----------------------------------------------------------------

// The length of the well-formed UTF-8 sequence of several bytes at data[i],
// 0 when none starts there.
int utf8SequenceAt(const QByteArray& data, qsizetype i)
{
    const auto byte = [&](qsizetype k) { return k < data.size() ? static_cast<unsigned char>(data[k]) : 0u; };
    const unsigned lead = byte(i);
    int length = 0;
    unsigned low = 0x80;
    unsigned high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        // No overlong form and no surrogate.
        low = lead == 0xE0 ? 0xA0 : 0x80;
        high = lead == 0xED ? 0x9F : 0xBF;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        low = lead == 0xF0 ? 0x90 : 0x80;
        high = lead == 0xF4 ? 0x8F : 0xBF;
    } else {
        return 0;
    }
    for (int k = 1; k < length; ++k) {
        const unsigned b = byte(i + k);
        if (b < (k == 1 ? low : 0x80) || b > (k == 1 ? high : 0xBF))
            return 0;
    }
    return length;
}

// Whether every byte above 0x7F belongs to a well-formed UTF-8 sequence, and there is one.
bool readsAsUtf8(const QByteArray& data)
{
    bool multiByte = false;
    for (qsizetype i = 0; i < data.size();) {
        if (static_cast<unsigned char>(data[i]) < 0x80) {
            ++i;
            continue;
        }
        const int length = utf8SequenceAt(data, i);
        if (length == 0)
            return false;
        multiByte = true;
        i += length;
    }
    return multiByte;
}

// The name of the encoding a spreadsheet saved the file in, when it is not
// Windows-1252: read as such, its texts would come back garbled.
std::optional<QString> foreignEncoding(const QByteArray& data)
{
    if (data.startsWith("\xEF\xBB\xBF"))
        return QStringLiteral("UTF-8");
    // A byte-order mark either way, or the NUL half of a character.
    if (data.startsWith("\xFF\xFE") || data.startsWith("\xFE\xFF") || data.contains('\0'))
        return QStringLiteral("UTF-16");
    if (readsAsUtf8(data))
        return QStringLiteral("UTF-8");
    return std::nullopt;
}

[[noreturn]] void refuseFile(const QString& message)
{
    throw plat::RtError(plat::rt::InvalidPropertyValue, message, kSource);
}

[[noreturn]] void fileError(int error, const QString& fileName)
{
    throw plat::RtError(error, plat::rtErrorText(error) + QStringLiteral(": ") + QDir::toNativeSeparators(fileName),
                        kSource);
}

} // namespace

const QStringList& ColumnNames()
{
    static const QStringList names = QStringLiteral("Pnl,Chnl,Screen,Print,TypePrt,Klaxon,Prio,Histo,Bib,Help,React,"
                                                    "Tempo,TxtScr,TxtImp")
                                         .split(QLatin1Char(','));
    return names;
}

QByteArray Write(const ConfigClass& config)
{
    QString file = ColumnNames().join(kTab) + kLineEnd;
    for (int m = 1; m <= Limits::Modules; ++m) {
        const PanelClass& panel = *config.Panel(int16_t(m));
        for (int c = 1; c <= panel.ChannelCount(); ++c)
            file += line(m, c, *panel.Channel(int16_t(c)));
    }
    return plat::Cp1252::encode(file);
}

void Read(const QByteArray& data, ConfigClass& config)
{
    if (const std::optional<QString> encoding = foreignEncoding(data))
        refuseFile(Config::GetText(TextIds::ChannelTableEncoding).replace(QStringLiteral("$1"), *encoding));
    std::vector<ChannelLine> channels;
    const QStringList all = lines(plat::Cp1252::decode(data));
    for (int i = 0; i < all.size(); ++i)
        if (std::optional<ChannelLine> l = readLine(i + 1, all[i]))
            channels.push_back(std::move(*l));
    // Nothing to take is no success: say so, rather than seem to have imported.
    if (channels.empty())
        refuseFile(Config::GetText(TextIds::ChannelTableNoLine));
    // Through the setters: only a value that changes marks its channel.
    for (const ChannelLine& l : channels)
        ConfigCopy::Channel(*config.Panel(l.module)->Channel(l.channel), l.settings);
}

void Export(const ConfigClass& config, const QString& fileName)
{
    const QByteArray data = Write(config);
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly))
        fileError(QFileInfo(fileName).absoluteDir().exists() ? plat::rt::PathFileAccessError : plat::rt::PathNotFound,
                  fileName);
    if (file.write(data) != data.size())
        fileError(plat::rt::DiskFull, fileName);
    if (!file.commit())
        fileError(plat::rt::DeviceIOError, fileName);
}

void Import(const QString& fileName, ConfigClass& config)
{
    QByteArray data;
    {
        QFile file(fileName);
        if (!file.open(QIODevice::ReadOnly))
            fileError(file.exists() ? plat::rt::PathFileAccessError : plat::rt::FileNotFound, fileName);
        data = file.readAll();
        if (file.error() != QFileDevice::NoError)
            fileError(plat::rt::DeviceIOError, fileName);
    }
    Read(data, config);
}

} // namespace ChannelTable
