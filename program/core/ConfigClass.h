#pragma once
// The root of the configuration model: everything a configuration file holds
// (settings, users, event options, alarm sounds, 64 modules, library and
// instruction texts, mirrors) and the change tracking that tells the screens
// whether it differs from the last user file. One instance lives in gConfig.

#include "program/core/ConfigFile.h"
#include "program/core/MirrorClasses.h"
#include "program/core/PanelClass.h"

#include <QByteArray>
#include <QString>
#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

class ConfigClass {
public:
    static constexpr int kModules = Limits::Modules;

    // Where the defaults come from: a T_Config key to its value text.
    using DefaultSource = std::function<QString(int key)>;
    // The scramble key of each save, 0..255.
    using KeySource = std::function<uint8_t()>;

    // Defaults from Config::GetConfig unless another source is given.
    explicit ConfigClass(DefaultSource defaults = {});
    ConfigClass(const ConfigClass&) = delete;
    ConfigClass& operator=(const ConfigClass&) = delete;

    // Draws every scramble key from source; an empty one restores the
    // random default. For tests and tools that need fixed bytes.
    static void setScrambleKeySource(KeySource source);

    // Sound number of alarm priority 1..99; 0 and ignored outside.
    int16_t AlarmPrioSound(int16_t prio) const;
    void setAlarmPrioSound(int16_t prio, int16_t sound);
    bool AutoStart() const { return m_autoStart; }
    void setAutoStart(bool v);
    // Library text 1..64: its whole 24 characters with padding; "" outside.
    QString Biblio(int index) const;
    // Marks when the stored 24 characters differ from v, stores v padded or cut.
    void setBiblio(int index, const QString& v);
    QString BusSettings() const { return m_busSettings; }
    void setBusSettings(const QString& v);
    bool BusControl() const { return m_busControl; }
    void setBusControl(bool v);
    // Instruction text 1..48, 1024 characters; as Biblio.
    QString Consigne(int index) const;
    void setConsigne(int index, const QString& v);
    int16_t InactivityTime() const { return m_inactivityTime; }
    void setInactivityTime(int16_t v);
    // A new module numbered num in place num (1..64), and the root marked.
    void InitPanel(int16_t num);
    // The mirror list, created on first use.
    std::shared_ptr<MirrorClasses> Mirrors() const;
    // Own flag, or any module, or the mirror list.
    bool Modified() const;
    // Passes v to every module and the mirror list, then the own flag.
    void setModified(bool v);
    // The root's own flag alone (the modules and the mirror list keep theirs).
    void setOwnModified(bool v) { m_modified = v; }
    bool OptionHisto(int32_t bit) const { return optionBit(m_histoMask, bit); }
    void setOptionHisto(int32_t bit, bool v) { setOptionBit(m_histoMask, bit, v, "ConfigClass.OptionHisto"); }
    bool OptionKlaxon(int32_t bit) const { return optionBit(m_klaxonMask, bit); }
    void setOptionKlaxon(int32_t bit, bool v) { setOptionBit(m_klaxonMask, bit, v, "ConfigClass.OptionKlaxon"); }
    bool OptionPrinter(int32_t bit) const { return optionBit(m_printerMask, bit); }
    void setOptionPrinter(int32_t bit, bool v) { setOptionBit(m_printerMask, bit, v, "ConfigClass.OptionPrinter"); }
    bool OptionScreen(int32_t bit) const { return optionBit(m_screenMask, bit); }
    void setOptionScreen(int32_t bit, bool v) { setOptionBit(m_screenMask, bit, v, "ConfigClass.OptionScreen"); }
    // Module 1..64; no object (after the error report) outside.
    std::shared_ptr<PanelClass> Panel(int16_t index) const;
    // Holds another module in that place; a different object marks the whole tree first.
    void setPanel(int16_t index, std::shared_ptr<PanelClass> panel);
    bool PrintBusResult() const { return m_printBusResult; }
    void setPrintBusResult(bool v);
    int16_t PrintMaxLen() const { return m_printMaxLen; }
    void setPrintMaxLen(int16_t v);
    QString PrinterName() const { return m_printerName; }
    // A new printer marks the whole tree.
    void setPrinterName(const QString& v);
    // Printer strings 0..7; an index outside is reported.
    QString PrinterInitCode(int32_t index) const;
    void setPrinterInitCode(int32_t index, const QString& v);
    QString PrinterInitString(int32_t index) const;
    void setPrinterInitString(int32_t index, const QString& v);
    QString PrtSettings() const { return m_prtSettings; }
    void setPrtSettings(const QString& v);
    // Users 1..UserCount (element 0 exists and is unused).
    int16_t UserCount() const { return int16_t(m_users.size() - 1); }
    void setUserCount(int16_t n);
    int32_t UserLevel(int16_t index) const;
    void setUserLevel(int16_t index, int32_t v);
    QString UserName(int16_t index) const;
    void setUserName(int16_t index, const QString& v);
    QString UserPwd(int16_t index) const;
    void setUserPwd(int16_t index, const QString& v);

    // Loads a configuration file: 0, or 20001, 20003, 20004. A refused file
    // leaves this object as it was.
    int32_t Read(const QString& fileName);
    // Writes the configuration file: -1, or 20002. The file is replaced whole
    // or not at all.
    int32_t Save(const QString& fileName);

    // The same on the file's bytes.
    int32_t ReadData(const QByteArray& data);
    bool SaveData(QByteArray& out);
    // What the last Read or ReadData found (header, and why a file was refused).
    const ConfigFile::Report& LastRead() const { return m_lastRead; }

private:
    struct User {
        QString name;
        QString code;
        int32_t level = 0;
    };

    static bool optionBit(uint8_t mask, int32_t bit);
    void setOptionBit(uint8_t& mask, int32_t bit, bool v, const char* name);
    void setFixed(std::vector<QString>& texts, int index, int width, const QString& v);
    User* userForWrite(int16_t index, const char* name);
    void readBody(ConfigFile::Reader& file);

    std::array<std::shared_ptr<PanelClass>, kModules + 1> m_panels;   // 1..64
    mutable std::shared_ptr<MirrorClasses> m_mirrors;
    bool m_modified = false;
    std::vector<QString> m_biblio;     // 1..64
    std::vector<QString> m_consigne;   // 1..48
    QString m_busSettings;
    QString m_prtSettings;
    bool m_busControl = false;
    bool m_autoStart = false;
    bool m_printBusResult = false;
    std::array<int16_t, ConfigFile::kSoundCount> m_sounds{};
    uint8_t m_screenMask = 0;
    uint8_t m_histoMask = 0;
    uint8_t m_klaxonMask = 0;
    uint8_t m_printerMask = 0;
    // One record per user so that names, codes and levels always agree in number.
    std::vector<User> m_users;
    int16_t m_inactivityTime = 0;
    int16_t m_printMaxLen = 0;
    std::array<QString, ConfigFile::kPrinterInitCount> m_printerInitStrings;
    std::array<QString, ConfigFile::kPrinterInitCount> m_printerInitCodes;
    QString m_printerName;
    ConfigFile::Report m_lastRead;
};
