#include "program/screens/bus/ParamRows.h"

#include "platform/RtError.h"
#include "platform/Values.h"
#include "program/core/ChannelClass.h"
#include "program/core/Config.h"
#include "program/core/Global.h"
#include "program/core/Limits.h"
#include "program/core/TextIds.h"

#include <array>

namespace ParamRows {

namespace {

// Row r is named by text ParamRowNameFirst + kNameOffset[r].
constexpr std::array<int, Count> kNameOffset = {0, 1, 6, 7, 12, 9, 13, 8, 5, 4, 10, 11, 2, 3};
static_assert(TextIds::ParamRowNameFirst + 13 == TextIds::ParamRowNameLast);

constexpr int kPrintTypes = TextIds::PrintTypeLast - TextIds::PrintTypeFirst + 1;

void checkChannelRow(int row)
{
    if (row < FirstChannelRow || row >= Count)
        plat::raise(plat::rt::SubscriptOutOfRange);
}

// True is stored as -1: text 10001 - value names it.
QString shownFlag(bool value)
{
    return value ? Config::GetText(10002) : Config::GetText(10001);
}

bool writtenFlag(const QString& caption)
{
    return caption == Config::GetText(10002);
}

QString printTypeText(int type)
{
    return Config::GetText(TextIds::PrintTypeFirst + type, true);
}

} // namespace

int NameText(int row)
{
    if (row < 0 || row >= Count)
        plat::raise(plat::rt::SubscriptOutOfRange);
    return TextIds::ParamRowNameFirst + kNameOffset[size_t(row)];
}

QString Tag(int row, int channelCount)
{
    switch (row) {
    case Title:
    case ScreenText:
    case PrintText:
        return {};
    case ChannelNo:
        return QStringLiteral("*|1|") + QString::number(channelCount);
    case ScrAlm:
    case PrtAlm:
    case Klaxon:
    case Histo:
    case React:
        return QStringLiteral("$");
    case TypeImp: {
        QString list = QStringLiteral("@");
        for (int k = 0; k < kPrintTypes; ++k)
            list += QLatin1Char('|') + printTypeText(k);
        return list;
    }
    case AlmPrio:
        return QStringLiteral("*|%1|%2").arg(Limits::FirstPriority).arg(Limits::LastPriority);
    case BibNum:
        return QStringLiteral("*|0|") + QString::number(Limits::LibraryTexts);
    case HelpNum:
        return QStringLiteral("*|0|") + QString::number(Limits::InstructionTexts);
    case ReactTpo:
        return QStringLiteral("@|") + Global::ReactivTimes().join(QLatin1Char('|'));
    default:
        plat::raise(plat::rt::SubscriptOutOfRange);
    }
}

QString Shown(int row, const ChannelClass& ch)
{
    checkChannelRow(row);
    switch (row) {
    case ScrAlm:
        return shownFlag(ch.ScrAlm());
    case PrtAlm:
        return shownFlag(ch.PrtAlm());
    case TypeImp:
        return printTypeText(ch.TypeImp());
    case Klaxon:
        return shownFlag(ch.Klaxon());
    case AlmPrio:
        return QString::number(ch.AlmPrio());
    case Histo:
        return shownFlag(ch.Histo());
    case BibNum:
        return QString::number(ch.BibNum());
    case HelpNum:
        return QString::number(ch.HelpNum());
    case React:
        return shownFlag(ch.React());
    case ReactTpo:
        return Global::ReactivTime(ch.ReactTpo());
    case ScreenText:
        return ch.ScreenText();
    default: // PrintText
        return ch.PrintText();
    }
}

int Number(const QString& caption)
{
    return plat::CInt(plat::Val(caption));
}

void WriteBack(int row, const QString& caption, ChannelClass& ch)
{
    checkChannelRow(row);
    switch (row) {
    case ScrAlm:
        ch.setScrAlm(writtenFlag(caption));
        break;
    case PrtAlm:
        ch.setPrtAlm(writtenFlag(caption));
        break;
    case TypeImp: {
        // The position among the picker's items; a caption not in the list is type 0.
        int type = 0;
        for (int k = 0; k < kPrintTypes; ++k)
            if (printTypeText(k) == caption) {
                type = k;
                break;
            }
        ch.setTypeImp(int16_t(type));
        break;
    }
    case Klaxon:
        ch.setKlaxon(writtenFlag(caption));
        break;
    case AlmPrio:
        ch.setAlmPrio(int16_t(Number(caption)));
        break;
    case Histo:
        ch.setHisto(writtenFlag(caption));
        break;
    case BibNum:
        ch.setBibNum(int16_t(Number(caption)));
        break;
    case HelpNum:
        ch.setHelpNum(int16_t(Number(caption)));
        break;
    case React:
        ch.setReact(writtenFlag(caption));
        break;
    case ReactTpo:
        ch.setReactTpo(Global::ReactivTimeCode(caption).value_or(0));
        break;
    case ScreenText:
        ch.setScreenText(caption);
        break;
    default: // PrintText
        ch.setPrintText(caption);
        break;
    }
}

int ListIndexOf(int number, int entryCount)
{
    return number >= 1 && number <= entryCount ? number - 1 : -1;
}

} // namespace ParamRows
