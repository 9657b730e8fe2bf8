#include "program/runtime/HistoricBrowser.h"

#include "program/core/ChannelClass.h"
#include "program/core/ConfigClass.h"
#include "program/core/Global.h"
#include "program/core/Limits.h"
#include "program/core/PanelClass.h"
#include "program/runtime/HistoProcs.h"
#include "program/runtime/HistoScreenRecord.h"

#include "platform/Cp1252.h"
#include "platform/Regional.h"
#include "platform/RtError.h"
#include "platform/Values.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>

#include <algorithm>
#include <cstring>
#include <memory>

namespace HistoricBrowser {

namespace {

constexpr int kDateWidth = 10;
const QString kSeparator = QStringLiteral(" - ");
constexpr QChar kNoBreak(0xA0);
// The designation field: module number at 1-2, channel number at 5-6 ("M07-C24").
constexpr int kDesignationPanel = 1;
constexpr int kDesignationChnl = 5;
constexpr int kNumberWidth = 2;
// The instruction dialog breaks the alarm line after its 82nd character.
constexpr int kCaptionBreak = 82;

} // namespace

std::vector<Period> Periods(const QString& folder)
{
    static const QRegularExpression name(QStringLiteral("^Histo(\\d{6}|\\d{8})\\.his$"),
                                         QRegularExpression::CaseInsensitiveOption);
    QStringList files = QDir(folder).entryList(QDir::Files);
    std::sort(files.begin(), files.end());
    std::vector<Period> periods;
    for (const QString& file : files) {
        const QRegularExpressionMatch m = name.match(file);
        if (m.hasMatch())
            periods.push_back({PeriodText(m.captured(1)), QDir(folder).filePath(file)});
    }
    return periods;
}

QString PeriodText(const QString& digits)
{
    QString text = digits.left(4) + kSeparator + digits.mid(4, 2);
    if (digits.size() > 6)
        text += kSeparator + digits.mid(6, 2);
    return text;
}

std::optional<int> Preselected(const std::vector<Period>& periods, const QDate& today, bool daily)
{
    if (periods.empty())
        return std::nullopt;
    const QString current = PeriodText(today.toString(daily ? QStringLiteral("yyyyMMdd") : QStringLiteral("yyyyMM")));
    for (size_t i = 0; i < periods.size(); ++i)
        if (periods[i].text == current)
            return int(i);
    return 0;
}

std::optional<int> Previous(int index)
{
    if (index > 0)
        return index - 1;
    return std::nullopt;
}

std::optional<int> Next(int index, int count)
{
    if (index >= 0 && index < count - 1)
        return index + 1;
    return std::nullopt;
}

namespace {

// Reads dates of one numeric pattern (d, dd, M, MM, yy, yyyy and separators)
// without the general parser, which is too slow for a month of lines; a
// pattern with anything else goes to the general parser.
class DateReader {
public:
    explicit DateReader(const QString& pattern) : m_pattern(pattern)
    {
        for (qsizetype i = 0; i < pattern.size();) {
            const QChar c = pattern.at(i);
            qsizetype run = 1;
            while (i + run < pattern.size() && pattern.at(i + run) == c)
                ++run;
            if (c == QLatin1Char('d') && run <= 2)
                m_parts.push_back({Part::Day, int(run), c});
            else if (c == QLatin1Char('M') && run <= 2)
                m_parts.push_back({Part::Month, int(run), c});
            else if (c == QLatin1Char('y') && (run == 2 || run == 4))
                m_parts.push_back({Part::Year, int(run), c});
            else if (c.isLetter() || c == QLatin1Char('\''))
                m_general = true;
            else
                for (qsizetype k = 0; k < run; ++k)
                    m_parts.push_back({Part::Literal, 1, c});
            i += run;
        }
    }

    const QString& pattern() const { return m_pattern; }

    bool isDate(QStringView text) const
    {
        if (m_general)
            return QDate::fromString(text.toString(), m_pattern).isValid();
        int day = 0, month = 0, year = 0;
        qsizetype at = 0;
        for (const Part& p : m_parts) {
            if (p.kind == Part::Literal) {
                if (at >= text.size() || text.at(at) != p.literal)
                    return false;
                ++at;
                continue;
            }
            // One letter reads one or two digits; two or four letters read exactly that many.
            const int most = p.letters == 1 ? 2 : p.letters;
            const int least = p.letters == 1 ? 1 : p.letters;
            int value = 0, digits = 0;
            while (digits < most && at < text.size() && text.at(at).isDigit() && text.at(at).unicode() < 128) {
                value = value * 10 + (text.at(at).unicode() - '0');
                ++digits;
                ++at;
            }
            if (digits < least)
                return false;
            (p.kind == Part::Day ? day : p.kind == Part::Month ? month : year) = value;
            if (p.kind == Part::Year && p.letters == 2)
                year += 1900;
        }
        return at == text.size() && QDate::isValid(year, month, day);
    }

private:
    struct Part {
        enum Kind { Day, Month, Year, Literal } kind;
        int letters;
        QChar literal;
    };
    QString m_pattern;
    std::vector<Part> m_parts;
    bool m_general = false;
};

bool isDate(QStringView text)
{
    text = plat::RTrim(text);
    if (text.isEmpty())
        return false;
    // Read again only when the regional settings change.
    static std::optional<DateReader> reader;
    const QString pattern = plat::Regional::shortDateFormat();
    if (!reader || reader->pattern() != pattern)
        reader.emplace(pattern);
    return reader->isDate(text);
}

} // namespace

bool IsShortDate(const QString& text)
{
    return isDate(text);
}

namespace {

// Finds the entry lines of a file read piece by piece: where each line lies,
// and whether its first characters are a date.
class EntryFinder {
public:
    void feed(const char* data, qsizetype size)
    {
        qsizetype i = 0;
        while (i < size) {
            while (m_dateLength < kDateWidth && i < size && data[i] != '\n') {
                m_last = data[i];
                m_date[m_dateLength++] = plat::Cp1252::decodeChar(static_cast<unsigned char>(data[i++])).unicode();
            }
            const auto* nl = static_cast<const char*>(std::memchr(data + i, '\n', size_t(size - i)));
            if (!nl) {
                if (i < size)
                    m_last = data[size - 1];
                break;
            }
            const qsizetype end = nl - data;
            if (end > i)
                m_last = data[end - 1];
            endLine(m_read + end);
            i = end + 1;
        }
        m_read += size;
    }

    // The last line, also without its line end.
    std::vector<HistoricEntries::Span> finish()
    {
        if (m_start < m_read)
            endLine(m_read);
        return std::move(m_lines);
    }

private:
    void endLine(qint64 end)
    {
        qint64 length = end - m_start;
        if (length > 0 && m_last == '\r')
            --length;
        if (isDate(QStringView(m_date, std::min<qint64>(m_dateLength, length))))
            m_lines.push_back({m_start, length});
        m_start = end + 1;
        m_dateLength = 0;
        m_last = 0;
    }

    std::vector<HistoricEntries::Span> m_lines;
    qint64 m_read = 0;   // bytes fed so far
    qint64 m_start = 0;  // where the current line starts
    char16_t m_date[kDateWidth] = {};
    int m_dateLength = 0;
    char m_last = 0;     // the current line's last byte so far
};

} // namespace

HistoricEntries Load(const QString& path)
{
    const auto unreadable = [&] {
        return plat::RtError(plat::rt::PathFileAccessError, plat::rtErrorText(plat::rt::PathFileAccessError)
                                                                + QStringLiteral(": ") + QDir::toNativeSeparators(path));
    };
    auto file = std::make_shared<QFile>(path);
    if (!file->exists())
        return {};
    if (!file->open(QIODevice::ReadOnly | QIODevice::Unbuffered))
        throw unreadable();
    // Read through one small buffer: the month's lines are not held, only where they lie.
    EntryFinder finder;
    std::vector<char> buffer(ReadPiece);
    for (;;) {
        const qint64 n = file->read(buffer.data(), ReadPiece);
        if (n < 0)
            throw unreadable();
        if (n == 0)
            break;
        finder.feed(buffer.data(), n);
    }
    return HistoricEntries(std::move(file), finder.finish());
}

int InstructionNumber(const QString& rowText, const ConfigClass& config)
{
    const QString line = Global::LeftFormat(QString(rowText).remove(QStringLiteral("\r\n")), HistoScreenRecord::Length);
    const QString designation = line.mid(HistoScreenRecord::position(HistoScreenRecord::Origin),
                                         HistoScreenRecord::width(HistoScreenRecord::Origin));
    const int panel = int(plat::Val(designation.mid(kDesignationPanel, kNumberWidth)));
    const int chnl = int(plat::Val(designation.mid(kDesignationChnl, kNumberWidth)));
    if (panel < 1 || panel > Limits::Modules || chnl < 1 || chnl > Limits::LastChannel)
        return 0;
    return config.Panel(qint16(panel))->Channel(qint16(chnl))->HelpNum();
}

QString AlarmCaption(const QString& rowText)
{
    const QString caption = QString(2, kNoBreak) + QString(rowText).replace(QLatin1Char(' '), kNoBreak);
    return caption.left(kCaptionBreak) + QLatin1Char('\r') + caption.mid(kCaptionBreak);
}

} // namespace HistoricBrowser
