#include "program/runtime/AlarmRowRules.h"

#include "platform/DateTime.h"
#include "platform/RtError.h"
#include "platform/Values.h"
#include "program/bus/EventClass.h"
#include "program/core/ChannelClass.h"
#include "program/core/ConfigClass.h"
#include "program/core/Global.h"
#include "program/core/Limits.h"
#include "program/core/PanelClass.h"

namespace {

constexpr int kPresence = EventClass::ChnlPresence;
constexpr int kHexDigits = 8;
constexpr int kBiblioWidth = 12;
constexpr int kScreenTextWidth = 24;

const QString kLineBreak = QStringLiteral("\r\n");
const QString kSavedBreak = QStringLiteral("|");

QString twoDigits(int n)
{
    return QString::number(n).rightJustified(2, QLatin1Char('0'));
}

// A text never assigned holds NULs: blanks on the screen.
QString blanked(QString text)
{
    return text.replace(QChar(0), QLatin1Char(' '));
}

} // namespace

unsigned int AlarmRowRules::RowColor(qint32 id)
{
    const int aff = Aff(id);
    if (Chnl(id) == kPresence)
        return aff != 0 ? White : Red;
    if (Param(id) == 0)
        return aff == 1 ? Cyan : LightGreen;
    switch (aff) {
    case 1: return White;
    case 2: return LightBlue;
    case 3: return Red;
    case 4: return Orange;
    case EventClass::AffReannounce: return Magenta;
    default: return Black;
    }
}

AlarmRowRules::Change AlarmRowRules::ChangeFor(qint32 id, bool rowListed)
{
    const int chnl = Chnl(id);
    const int param = Param(id);
    const int aff = Aff(id);
    if (rowListed) {
        if ((chnl == kPresence && aff == 1) || (chnl <= Limits::LastChannel && param == 1 && aff == 0))
            return Change::Remove;
        return chnl <= Limits::LastChannel ? Change::Update : Change::Nothing;
    }
    if ((chnl == kPresence && aff == 0) || (chnl <= Limits::LastChannel && (param == 0 || aff >= 1)))
        return Change::Add;
    return Change::Nothing;
}

int AlarmRowRules::SelectionAfterAdd(qint32 id, int selectedBefore, int rows)
{
    if (Aff(id) == 3 || Chnl(id) == kPresence)
        return 0;
    const int former = selectedBefore + 1;
    return former < rows ? former : 0;
}

AlarmRowRules::Acknowledgement AlarmRowRules::Acknowledge(qint32 rowData, int model)
{
    const int chnl = Chnl(rowData);
    const int param = Param(rowData);
    const int aff = Aff(rowData);
    Acknowledgement a;
    if (chnl == kPresence || (chnl <= Limits::LastChannel && param == 0))
        a.row = AckRow::Remove;
    else if (aff == EventClass::AffReannounce)
        a.row = AckRow::PaintWhite;
    a.send = !(aff == EventClass::AffReannounce || (param == 1 && aff < 2) || param == 0 || model == 2 || chnl < 1
               || chnl > Limits::LastChannel);
    return a;
}

QString AlarmRowRules::RowText(const EventClass& ev, const ConfigClass& config, const Letters& letters)
{
    QString text = QString::number(ev.Num()).rightJustified(7, QLatin1Char(' ')) + QLatin1Char(' ')
                   + plat::formatShortDate(ev.GDH()) + QLatin1Char(' ') + plat::formatLongTime(ev.GDH())
                   + QLatin1Char(' ') + letters.panel + twoDigits(ev.Panel()) + QLatin1Char('-');
    const std::shared_ptr<PanelClass> panel = config.Panel(ev.Panel());
    if (ev.Chnl() == kPresence) {
        const int model = panel ? panel->Model() : 0;
        return text + Global::ModuleName(model).left(3) + QLatin1Char(' ')
               + (ev.Aff() != 0 ? letters.present : letters.missing);
    }
    text += ev.Chnl() == 0 ? QStringLiteral("ACK") : letters.channel + twoDigits(ev.Chnl());
    text += QLatin1Char(' ');
    const std::shared_ptr<ChannelClass> channel = panel ? panel->Channel(ev.Chnl()) : nullptr;
    const QString biblio = channel ? config.Biblio(channel->BibNum()) : QString();
    const QString screenText = channel ? channel->ScreenText() : QString();
    return text + Global::LeftFormat(blanked(biblio), kBiblioWidth) + QLatin1Char(' ')
           + Global::LeftFormat(blanked(screenText), kScreenTextWidth) + QLatin1Char(' ');
}

QString AlarmRowRules::SavedValue(qint32 id, const QString& text)
{
    return plat::hexFixed(quint32(id), kHexDigits) + QString(text).replace(kLineBreak, kSavedBreak);
}

std::optional<AlarmRowRules::SavedRow> AlarmRowRules::ReadSaved(const QString& value)
{
    const QString s = QString(value).replace(kSavedBreak, kLineBreak);
    const QString digits = s.left(kHexDigits);
    if (digits.size() < kHexDigits)
        return std::nullopt;
    for (const QChar c : digits)
        if (!(c >= QLatin1Char('0') && c <= QLatin1Char('9')) && !(c.toUpper() >= QLatin1Char('A') && c.toUpper() <= QLatin1Char('F')))
            return std::nullopt;
    return SavedRow{qint32(digits.toUInt(nullptr, 16)), s.mid(kHexDigits)};
}

std::optional<int> AlarmRowRules::RestoredSelection(const QString& index, int rows)
{
    double v = 0;
    try {
        v = plat::Val(index);
    } catch (const plat::RtError&) {
        return std::nullopt;  // a damaged value selects nothing
    }
    if (!(v > 0 && v < rows - 1))
        return std::nullopt;
    const int i = plat::CInt(v);
    if (i > 0 && i < rows - 1)
        return i;
    return std::nullopt;
}
