#include "program/screens/system/SoundSettings.h"

#include "platform/AppIdentity.h"
#include "platform/Cp1252.h"
#include "platform/Database.h"
#include "platform/RtError.h"
#include "platform/SoundPlayer.h"
#include "platform/Values.h"
#include "program/core/ConfigClass.h"
#include "program/core/Global.h"
#include "program/core/GlobalMain.h"
#include "program/core/Globals.h"
#include "program/core/IniKeys.h"
#include "program/core/VEXfonctions.h"

#include <QDir>
#include <QFile>

namespace {

QString flag(bool on)
{
    return on ? QStringLiteral("1") : QStringLiteral("0");
}

} // namespace

// ---- History settings -----------------------------------------------------------

HistorySettings HistorySettings::Read()
{
    using namespace IniKeys;
    using VEXfonctions::GetIni;
    HistorySettings s;
    s.folder = GetIni(Files, Histo, plat::AppIdentity::programFolder());
    s.days = plat::Val(GetIni(Files, PeriodUnit, PeriodUnitDefault)) > 0;
    s.count = QString::number(plat::Val(GetIni(Files, PeriodTime, PeriodTimeDefault)), 'g', 15);
    s.limited = Global::IniBoolean(GetIni(Files, PeriodLimit, PeriodLimitDefault), false);
    return s;
}

bool HistorySettings::ValidCount(const QString& count)
{
    const QString t = count.trimmed();
    if (t.isEmpty() || t.size() > 4)
        return false;
    for (QChar c : t)
        if (c < u'0' || c > u'9')
            return false;
    return t.toInt() <= MaxCount;
}

bool HistorySettings::ValidFolder(const QString& folder)
{
    return plat::Cp1252::canEncode(folder);
}

bool HistorySettings::Write() const
{
    // An unlimited retention leaves the count hidden: nothing there to mend.
    if ((limited && !ValidCount(count)) || !ValidFolder(folder))
        return false;
    using namespace IniKeys;
    using VEXfonctions::SetIni;
    SetIni(Files, Histo, plat::Trim(folder));
    SetIni(Files, PeriodUnit, flag(days));
    SetIni(Files, PeriodTime, count.trimmed());
    SetIni(Files, PeriodLimit, flag(limited));
    return true;
}

bool HistorySettings::ReadNoResize()
{
    using namespace IniKeys;
    return Global::IniBoolean(VEXfonctions::GetIni(General, NoResize, NoResizeDefault), true);
}

void HistorySettings::WriteNoResize(bool on)
{
    VEXfonctions::SetIni(IniKeys::General, IniKeys::NoResize, flag(on));
}

// ---- Buttons --------------------------------------------------------------------

int SoundSteps::Down(int value, int lowest)
{
    return value > lowest ? value - 1 : value;
}

int SoundSteps::Up(int value, int highest)
{
    return value < highest ? value + 1 : value;
}

// ---- The sound table ------------------------------------------------------------

SoundTable::SoundTable(const plat::Database& db) : m_sounds(db.OpenRecordset(QStringLiteral("T_Sounds")))
{
    m_sounds->setIndex(QStringLiteral("PrimaryKey"));
}

SoundTable::~SoundTable() = default;

int16_t SoundTable::Highest(const plat::Database& db)
{
    const QVariant max = db.SelectValue(QStringLiteral("SELECT Max(ID) as MaxID from T_Sounds"));
    return max.isNull() ? 0 : plat::CInt(max.toDouble());
}

std::optional<QString> SoundTable::TestFile(int n)
{
    const QString alarmFile = Global::AlarmSoundFile(n);
    if (QFile::exists(alarmFile))
        return alarmFile;
    m_sounds->Seek(QStringLiteral("="), n);
    if (m_sounds->NoMatch())
        return std::nullopt;
    const qint64 size = plat::CLng(m_sounds->field(QStringLiteral("Size")).toDouble());
    const QByteArray bytes = m_sounds->GetChunk(QStringLiteral("Content"), 0, size);
    const QString file = plat::AppIdentity::programFolder() + QStringLiteral("/SoundTest.") +
                         m_sounds->field(QStringLiteral("Extension")).toString();
    if (QFile::exists(file))
        QFile::remove(file);
    QFile out(file);
    if (!out.open(QIODevice::WriteOnly))
        throw plat::RtError(plat::rt::PathFileAccessError,
                            QStringLiteral("Path/File access error: ") + QDir::toNativeSeparators(file));
    if (out.write(bytes) != bytes.size())
        plat::raise(plat::rt::DiskFull);
    out.close();
    return file;
}

QString SoundTestWav()
{
    return plat::AppIdentity::programFolder() + QStringLiteral("/SoundTest.wav");
}

void EndSoundTest()
{
    const int level = Global::HornLevel();
    if (level > 0 && gConfig)
        plat::soundPlayer().playLoop(Global::AlarmSoundFile(gConfig->AlarmPrioSound(int16_t(level))));
    else
        plat::soundPlayer().stop();
}
