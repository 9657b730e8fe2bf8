#include "program/core/ConfigClass.h"

#include "platform/Guard.h"
#include "platform/RtError.h"
#include "platform/Values.h"
#include "program/core/Config.h"
#include "program/core/Global.h"
#include "program/core/Limits.h"
#include "program/core/Version.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <algorithm>
#include <cmath>
#include <random>

namespace {

// Keys of the defaults in table T_Config.
namespace Key {
constexpr int User1Name = 100001;
constexpr int User2Name = 100002;
constexpr int User1Code = 100011;
constexpr int User2Code = 100012;
constexpr int InactivityTime = 100110;
constexpr int ScreenMask = 100201;
constexpr int HistoMask = 100202;
constexpr int PrinterMask = 100203;
constexpr int KlaxonMask = 100204;
constexpr int BusSettings = 100301;
constexpr int PrtSettings = 100302;
} // namespace Key

constexpr int32_t kUser1Level = 3;
constexpr int32_t kUser2Level = 2;
// The highest sound number a file may give a priority; a larger one reads as this.
constexpr int16_t kHighestSoundNumber = 99;

ConfigClass::KeySource& keySource()
{
    static ConfigClass::KeySource source;
    return source;
}

uint8_t drawKey()
{
    if (keySource())
        return keySource()();
    // The integer part of a random number in [0, 1) times 256.
    static std::mt19937 rng{std::random_device{}()};
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    return uint8_t(std::min(255.0, std::floor(unit(rng) * 256.0)));
}

// A default that is missing or no number reads as 0, so that creation always
// runs to its end.
int16_t integerDefault(const QString& text)
{
    const std::optional<double> v = plat::parseNumber(text);
    if (!v || std::isnan(*v) || *v < -32768.5 || *v > 32767.5)
        return 0;
    try {
        return plat::CInt(*v);
    } catch (const plat::RtError&) {
        return 0;
    }
}

uint8_t maskDefault(const QString& digits)
{
    const long v = Global::BinToDec(digits);
    return v >= 0 && v <= 255 ? uint8_t(v) : 0;
}

QString fixedWidth(const QString& v, int width)
{
    return v.size() >= width ? v.left(width) : v + QString(width - v.size(), u' ');
}

} // namespace

// ---- Creation -------------------------------------------------------------------

ConfigClass::ConfigClass(DefaultSource defaults)
    : m_biblio(Limits::LibraryTexts + 1), m_consigne(Limits::InstructionTexts + 1)
{
    if (!defaults)
        defaults = [](int key) { return Config::GetConfig(key); };
    // The texts never assigned hold NUL characters, as the file then does.
    for (int i = 1; i <= Limits::LibraryTexts; ++i)
        m_biblio[i] = QString(Limits::LibraryTextWidth, QChar(0));
    for (int i = 1; i <= Limits::InstructionTexts; ++i)
        m_consigne[i] = QString(Limits::InstructionTextWidth, QChar(0));

    plat::guard("ConfigClass.Class_Initialize", [&] {
        m_busSettings = defaults(Key::BusSettings);
        m_prtSettings = defaults(Key::PrtSettings);
        m_screenMask = maskDefault(defaults(Key::ScreenMask));
        m_histoMask = maskDefault(defaults(Key::HistoMask));
        m_printerMask = maskDefault(defaults(Key::PrinterMask));
        m_klaxonMask = maskDefault(defaults(Key::KlaxonMask));
    });
    m_users.resize(3);
    plat::guard("ConfigClass.Class_Initialize", [&] {
        setUserLevel(1, kUser1Level);
        setUserName(1, defaults(Key::User1Name));
        setUserPwd(1, defaults(Key::User1Code));
        setUserLevel(2, kUser2Level);
        setUserName(2, defaults(Key::User2Name));
        setUserPwd(2, defaults(Key::User2Code));
    });
    plat::guard("ConfigClass.Class_Initialize",
                [&] { m_inactivityTime = integerDefault(defaults(Key::InactivityTime)); });
    for (int i = 1; i <= kModules; ++i) {
        m_panels[i] = std::make_shared<PanelClass>();
        m_panels[i]->setNumero(i);
        m_panels[i]->setModified(false);
    }
    m_sounds.fill(1);
    m_modified = false;
}

void ConfigClass::setScrambleKeySource(KeySource source)
{
    keySource() = std::move(source);
}

// ---- Properties -----------------------------------------------------------------

int16_t ConfigClass::AlarmPrioSound(int16_t prio) const
{
    return prio >= Limits::FirstPriority && prio <= Limits::LastPriority ? m_sounds[prio] : 0;
}

void ConfigClass::setAlarmPrioSound(int16_t prio, int16_t sound)
{
    if (prio < Limits::FirstPriority || prio > Limits::LastPriority)
        return;
    if (m_sounds[prio] != sound)
        m_modified = true;
    m_sounds[prio] = sound;
}

void ConfigClass::setAutoStart(bool v)
{
    if (v != m_autoStart)
        m_modified = true;
    m_autoStart = v;
}

QString ConfigClass::Biblio(int index) const
{
    return index >= 1 && index <= Limits::LibraryTexts ? m_biblio[index] : QString();
}

void ConfigClass::setBiblio(int index, const QString& v)
{
    if (index >= 1 && index <= Limits::LibraryTexts)
        setFixed(m_biblio, index, Limits::LibraryTextWidth, v);
}

QString ConfigClass::Consigne(int index) const
{
    return index >= 1 && index <= Limits::InstructionTexts ? m_consigne[index] : QString();
}

void ConfigClass::setConsigne(int index, const QString& v)
{
    if (index >= 1 && index <= Limits::InstructionTexts)
        setFixed(m_consigne, index, Limits::InstructionTextWidth, v);
}

void ConfigClass::setFixed(std::vector<QString>& texts, int index, int width, const QString& v)
{
    // Compared with the given value as it stands: a trimmed text marks.
    if (texts[index] != v)
        m_modified = true;
    texts[index] = fixedWidth(v, width);
}

void ConfigClass::setBusSettings(const QString& v)
{
    if (v != m_busSettings)
        m_modified = true;
    m_busSettings = v;
}

void ConfigClass::setBusControl(bool v)
{
    if (v != m_busControl)
        m_modified = true;
    m_busControl = v;
}

void ConfigClass::setInactivityTime(int16_t v)
{
    if (v != m_inactivityTime)
        m_modified = true;
    m_inactivityTime = v;
}

void ConfigClass::InitPanel(int16_t num)
{
    if (num < 1 || num > kModules)
        return;
    auto panel = std::make_shared<PanelClass>();
    panel->setNumero(num);
    m_panels[num] = std::move(panel);
    m_modified = true;
}

std::shared_ptr<MirrorClasses> ConfigClass::Mirrors() const
{
    if (!m_mirrors)
        m_mirrors = std::make_shared<MirrorClasses>();
    return m_mirrors;
}

bool ConfigClass::Modified() const
{
    if (m_modified)
        return true;
    for (int i = 1; i <= kModules; ++i)
        if (m_panels[i]->Modified())
            return true;
    return Mirrors()->Modified();
}

void ConfigClass::setModified(bool v)
{
    for (int i = 1; i <= kModules; ++i)
        m_panels[i]->setModified(v);
    Mirrors()->setModified(v);
    m_modified = v;
}

bool ConfigClass::optionBit(uint8_t mask, int32_t bit)
{
    return bit >= 0 && bit <= 7 && (mask & (1u << bit)) != 0;
}

void ConfigClass::setOptionBit(uint8_t& mask, int32_t bit, bool v, const char* name)
{
    plat::guard(QString::fromLatin1(name), [&] {
        if (optionBit(mask, bit) != v)
            m_modified = true;
        if (bit >= 0 && bit <= 7)
            mask &= uint8_t(~(1u << bit));
        if (v) {
            // The mask is one byte.
            if (bit < 0 || bit > 7)
                plat::raise(plat::rt::Overflow);
            mask |= uint8_t(1u << bit);
        }
    });
}

std::shared_ptr<PanelClass> ConfigClass::Panel(int16_t index) const
{
    std::shared_ptr<PanelClass> result;
    plat::guard("ConfigClass.Panels", [&] {
        if (index < 1 || index > kModules)
            plat::raise(plat::rt::SubscriptOutOfRange);
        result = m_panels[index];
    });
    return result;
}

void ConfigClass::setPanel(int16_t index, std::shared_ptr<PanelClass> panel)
{
    plat::guard("ConfigClass.Panels", [&] {
        if (index < 1 || index > kModules)
            plat::raise(plat::rt::SubscriptOutOfRange);
        // Every place must hold a module: the whole program relies on it.
        if (!panel)
            plat::raise(plat::rt::ObjectVariableNotSet);
        if (panel != m_panels[index])
            setModified(true);
        m_panels[index] = std::move(panel);
    });
}

void ConfigClass::setPrintBusResult(bool v)
{
    if (v != m_printBusResult)
        m_modified = true;
    m_printBusResult = v;
}

void ConfigClass::setPrintMaxLen(int16_t v)
{
    if (v != m_printMaxLen)
        m_modified = true;
    m_printMaxLen = v;
}

void ConfigClass::setPrinterName(const QString& v)
{
    if (v != m_printerName)
        setModified(true);
    m_printerName = v;
}

QString ConfigClass::PrinterInitCode(int32_t index) const
{
    QString result;
    plat::guard("ConfigClass.PrinterInitCode", [&] {
        if (index < 0 || index >= ConfigFile::kPrinterInitCount)
            plat::raise(plat::rt::SubscriptOutOfRange);
        result = m_printerInitCodes[index];
    });
    return result;
}

void ConfigClass::setPrinterInitCode(int32_t index, const QString& v)
{
    plat::guard("ConfigClass.PrinterInitCode", [&] {
        if (index < 0 || index >= ConfigFile::kPrinterInitCount)
            plat::raise(plat::rt::SubscriptOutOfRange);
        if (v != m_printerInitCodes[index])
            m_modified = true;
        m_printerInitCodes[index] = v;
    });
}

QString ConfigClass::PrinterInitString(int32_t index) const
{
    QString result;
    plat::guard("ConfigClass.PrinterInitString", [&] {
        if (index < 0 || index >= ConfigFile::kPrinterInitCount)
            plat::raise(plat::rt::SubscriptOutOfRange);
        result = m_printerInitStrings[index];
    });
    return result;
}

void ConfigClass::setPrinterInitString(int32_t index, const QString& v)
{
    plat::guard("ConfigClass.PrinterInitString", [&] {
        if (index < 0 || index >= ConfigFile::kPrinterInitCount)
            plat::raise(plat::rt::SubscriptOutOfRange);
        if (v != m_printerInitStrings[index])
            m_modified = true;
        m_printerInitStrings[index] = v;
    });
}

void ConfigClass::setPrtSettings(const QString& v)
{
    if (v != m_prtSettings)
        m_modified = true;
    m_prtSettings = v;
}

void ConfigClass::setUserCount(int16_t n)
{
    plat::guard("ConfigClass.UserCount", [&] {
        if (n < 0)
            plat::raise(plat::rt::SubscriptOutOfRange);
        if (n != UserCount())
            m_modified = true;
        m_users.resize(size_t(n) + 1);
    });
}

ConfigClass::User* ConfigClass::userForWrite(int16_t index, const char* name)
{
    if (index < 0) {
        plat::reportError(QString::fromLatin1(name), plat::rtError(plat::rt::SubscriptOutOfRange));
        return nullptr;
    }
    // A user beyond the count grows the whole list, so that names, codes and
    // levels always reach the same count.
    if (size_t(index) >= m_users.size())
        m_users.resize(size_t(index) + 1);
    return &m_users[index];
}

int32_t ConfigClass::UserLevel(int16_t index) const
{
    return index >= 0 && size_t(index) < m_users.size() ? m_users[index].level : 0;
}

void ConfigClass::setUserLevel(int16_t index, int32_t v)
{
    if (User* u = userForWrite(index, "ConfigClass.UserLevel")) {
        if (u->level != v)
            m_modified = true;
        u->level = v;
    }
}

QString ConfigClass::UserName(int16_t index) const
{
    return index >= 0 && size_t(index) < m_users.size() ? m_users[index].name : QString();
}

void ConfigClass::setUserName(int16_t index, const QString& v)
{
    if (User* u = userForWrite(index, "ConfigClass.UserName")) {
        if (u->name != v)
            m_modified = true;
        u->name = v;
    }
}

QString ConfigClass::UserPwd(int16_t index) const
{
    return index >= 0 && size_t(index) < m_users.size() ? m_users[index].code : QString();
}

void ConfigClass::setUserPwd(int16_t index, const QString& v)
{
    if (User* u = userForWrite(index, "ConfigClass.UserPwd")) {
        if (u->code != v)
            m_modified = true;
        u->code = v;
    }
}

// ---- The file ---------------------------------------------------------------------

bool ConfigClass::SaveData(QByteArray& out)
{
    out.clear();
    out.reserve(ConfigFile::kSettingsArea + kModules * 1024 + Limits::InstructionTexts * Limits::InstructionTextWidth +
                Limits::LibraryTexts * Limits::LibraryTextWidth + 16);
    ConfigFile::Writer file(out);
    bool ok = plat::guard("ConfigClass.Save", [&] {
        file.fixed(ConfigFile::kTitle, ConfigFile::kTitleWidth);
        file.i16(Version::Major);
        file.i16(Version::Minor);
        file.i16(Version::Revision);
        file.i16(0);

        file.string(m_busSettings);
        file.string(m_prtSettings);
        file.boolean(m_autoStart);
        file.boolean(m_printBusResult);
        for (int16_t s : m_sounds)
            file.i16(s);
        // The file's order of the masks differs from that of the defaults.
        file.u8(m_screenMask);
        file.u8(m_klaxonMask);
        file.u8(m_printerMask);
        file.u8(m_histoMask);

        const uint8_t key = drawKey();
        file.u8(key);
        file.i16(UserCount());
        for (int16_t u = 1; u <= UserCount(); ++u) {
            file.string(Global::PasswordMask(m_users[u].name, key));
            file.string(Global::PasswordMask(m_users[u].code, key));
            file.i32(m_users[u].level);
        }

        file.string(m_prtSettings);
        file.i16(m_printMaxLen);
        for (const QString& s : m_printerInitStrings)
            file.string(s);
        for (const QString& s : m_printerInitCodes)
            file.string(s);
        file.string(m_printerName);
        file.i16(m_inactivityTime);
        file.zeros(std::max<qint64>(ConfigFile::kSettingsArea - file.pos(), 0));
    });
    if (!ok)
        return false;

    // A module or the mirror list that fails has reported itself.
    for (int i = 1; i <= kModules; ++i) {
        m_panels[i]->setNumero(i);
        if (!m_panels[i]->SaveTo(file))
            return false;
    }
    ok = plat::guard("ConfigClass.Save", [&] {
        for (int i = 1; i <= Limits::LibraryTexts; ++i)
            file.fixed(m_biblio[i], Limits::LibraryTextWidth);
        for (int i = 1; i <= Limits::InstructionTexts; ++i)
            file.fixed(m_consigne[i], Limits::InstructionTextWidth);
    });
    return ok && Mirrors()->SaveTo(file);
}

int32_t ConfigClass::Save(const QString& fileName)
{
    if (fileName.isEmpty())
        return ConfigFile::kWriteFailed;
    // The records clear their flags as they are written; a save that fails
    // gives the modules and mirrors that were modified their marks back, so
    // that the edits still read as unsaved.
    std::vector<int> modifiedPanels;
    for (int i = 1; i <= kModules; ++i)
        if (m_panels[i]->Modified())
            modifiedPanels.push_back(i);
    const bool mirrorsModified = Mirrors()->Modified();
    auto remark = [&] {
        for (int i : modifiedPanels)
            m_panels[i]->setModified(true);
        if (mirrorsModified)
            Mirrors()->setModified(true);
    };
    QByteArray data;
    if (!SaveData(data)) {
        remark();
        return ConfigFile::kWriteFailed;
    }
    // Written beside the target and renamed over it once flushed: a power cut
    // or a full disk leaves the previous file whole.
    QSaveFile file(fileName);
    int error = 0;
    if (!file.open(QIODevice::WriteOnly))
        error = QFileInfo(fileName).absoluteDir().exists() ? plat::rt::PathFileAccessError : plat::rt::PathNotFound;
    else if (file.write(data) != data.size())
        error = plat::rt::DiskFull;
    else if (!file.commit())
        error = plat::rt::DeviceIOError;
    if (error) {
        file.cancelWriting();
        remark();
        plat::reportError("ConfigClass.Save", plat::rtError(error));
        return ConfigFile::kWriteFailed;
    }
    return ConfigFile::kSaveOk;
}

int32_t ConfigClass::Read(const QString& fileName)
{
    m_lastRead = ConfigFile::Report{};
    if (fileName.isEmpty()) {
        m_lastRead.reason = QStringLiteral("no file name");
        return ConfigFile::kReadFailed;
    }
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly)) {
        m_lastRead.reason = QStringLiteral("cannot open the file: ") + file.errorString();
        return ConfigFile::kReadFailed;
    }
    const QByteArray data = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        m_lastRead.reason = QStringLiteral("cannot read the file: ") + file.errorString();
        return ConfigFile::kReadFailed;
    }
    return ReadData(data);
}

int32_t ConfigClass::ReadData(const QByteArray& data)
{
    // Nothing reaches the model before the whole layout has been checked, so a
    // refused file leaves the model as it was.
    m_lastRead = ConfigFile::check(data);
    if (m_lastRead.result != ConfigFile::kReadOk)
        return m_lastRead.result;
    try {
        ConfigFile::Reader file(data);
        readBody(file);
    } catch (const plat::RtError& e) {
        m_lastRead.result = ConfigFile::kReadFailed;
        m_lastRead.reason = QStringLiteral("read error %1: %2").arg(e.number()).arg(e.description());
    }
    return m_lastRead.result;
}

void ConfigClass::readBody(ConfigFile::Reader& file)
{
    const auto fail = [] { plat::raise(plat::rt::InputPastEndOfFile); };
    file.skip(ConfigFile::kTitleWidth);
    file.i16();   // major and minor: checked already
    file.i16();
    const int16_t revision = file.i16();
    file.i16();   // reserved

    // An empty setting keeps the default of this configuration.
    const QString bus = file.string();
    if (!bus.isEmpty())
        m_busSettings = bus;
    const QString prt = file.string();
    if (!prt.isEmpty())
        m_prtSettings = prt;
    m_autoStart = file.boolean();
    m_printBusResult = file.boolean();
    if (revision > ConfigFile::kLastRevisionWithOldSounds) {
        for (int p = 0; p < ConfigFile::kSoundCount; ++p)
            m_sounds[p] = std::min(file.i16(), kHighestSoundNumber);
    } else {
        for (int p = 0; p < ConfigFile::kOldSoundCount; ++p)
            m_sounds[p] = file.i16();
    }
    m_screenMask = file.u8();
    m_klaxonMask = file.u8();
    m_printerMask = file.u8();
    m_histoMask = file.u8();
    const uint8_t key = file.u8();

    setUserCount(file.i16());
    for (int16_t u = 1; u <= UserCount(); ++u) {
        // Not trimmed: a scrambled byte may be a space.
        m_users[u].name = Global::PasswordMask(file.string(false), key);
        m_users[u].code = Global::PasswordMask(file.string(false), key);
        m_users[u].level = file.i32();
    }

    m_prtSettings = file.string();
    m_printMaxLen = file.i16();
    for (QString& s : m_printerInitStrings)
        s = file.string();
    for (QString& s : m_printerInitCodes)
        s = file.string();
    m_printerName = file.string();
    m_inactivityTime = file.i16();
    file.skip(std::max<qint64>(ConfigFile::kSettingsArea - file.pos(), 0));

    for (int i = 1; i <= kModules; ++i)
        if (!m_panels[i]->ReadFrom(file))
            fail();
    for (int i = 1; i <= Limits::LibraryTexts; ++i)
        m_biblio[i] = file.fixed(Limits::LibraryTextWidth);
    for (int i = 1; i <= Limits::InstructionTexts; ++i)
        m_consigne[i] = file.fixed(Limits::InstructionTextWidth);
    if (!Mirrors()->ReadFrom(file))
        fail();
}
