#pragma once
// The registry: keys under the roots of KeyTypesEnum, addressed by paths with
// "\" separators, each key holding text values by name ("" is the key's default
// value). Names of keys and values compare without regard to case and keep the
// case they were created with.
//
// RegistryTree is the registry in memory; RegistryStore keeps it in one file
// shared by the program, both libraries and the tools. Each binary links its
// own copy of this code, so nothing is cached: every operation reads the file,
// and every change is a locked read-modify-write with an atomic replace.

#include <QList>
#include <QMap>
#include <QPair>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <functional>
#include <optional>

namespace plat {

namespace RegistryRoot {
constexpr uint32_t ClassesRoot = 0x80000000u;
constexpr uint32_t CurrentUser = 0x80000001u;
constexpr uint32_t LocalMachine = 0x80000002u;
constexpr uint32_t Users = 0x80000003u;
constexpr uint32_t PerformanceData = 0x80000004u;
constexpr uint32_t CurrentConfig = 0x80000005u;
constexpr uint32_t DynData = 0x80000006u;
} // namespace RegistryRoot

class RegistryTree {
public:
    // "HKEY_CLASSES_ROOT" etc.; empty for a value that is no root.
    static QString rootName(uint32_t root);

    // Open: true when the key exists. A root (path "") always exists.
    bool keyExists(uint32_t root, const QString& path) const;
    // Creates the key and its missing parents; true when it exists afterwards.
    bool createKey(uint32_t root, const QString& path);
    // Writes a value of an existing key; false when the key is missing.
    bool setValue(uint32_t root, const QString& path, const QString& name, const QString& value);
    // The value, or nothing when the key or the value is missing.
    std::optional<QString> value(uint32_t root, const QString& path, const QString& name) const;
    bool deleteValue(uint32_t root, const QString& path, const QString& name);
    // Deletes a key without subkeys (a key with subkeys, a root or a missing key is refused).
    bool deleteKey(uint32_t root, const QString& path);
    // Names of the direct subkeys, in order of their names; of the values, in order of creation.
    QStringList subKeys(uint32_t root, const QString& path) const;
    QStringList valueNames(uint32_t root, const QString& path) const;

    QByteArray serialize() const;
    // Reads what serialize() wrote; lines it does not understand are skipped.
    static RegistryTree parse(const QByteArray& data);

    friend bool operator==(const RegistryTree& a, const RegistryTree& b) { return a.serialize() == b.serialize(); }

private:
    struct Key {
        QString path;   // "HKEY_CLASSES_ROOT\CLSID\{...}", with the case of creation
        QList<QPair<QString, QString>> values;
    };
    // "ROOTNAME\a\b", or nothing when the root or a name is invalid.
    static std::optional<QString> fullPath(uint32_t root, const QString& path);
    const Key* find(uint32_t root, const QString& path) const;
    Key* find(uint32_t root, const QString& path);
    bool createFull(const QString& full);

    QMap<QString, Key> m_keys;  // by the lower-case full path
};

class RegistryStore {
public:
    // $PLX_REGISTRY_FILE when set, else "Registry.ini" in the program folder.
    static QString defaultFile();

    explicit RegistryStore(QString file = defaultFile());
    const QString& file() const { return m_file; }

    // The current contents (empty when there is no file).
    RegistryTree read() const;
    // Runs edit on the current contents while holding the store's lock and
    // writes the file when edit succeeded and changed something. False when
    // edit failed (nothing is written) or the file cannot be read or written.
    bool update(const std::function<bool(RegistryTree&)>& edit);

    bool keyExists(uint32_t root, const QString& path) const { return read().keyExists(root, path); }
    std::optional<QString> value(uint32_t root, const QString& path, const QString& name) const
    {
        return read().value(root, path, name);
    }
    QStringList subKeys(uint32_t root, const QString& path) const { return read().subKeys(root, path); }
    QStringList valueNames(uint32_t root, const QString& path) const { return read().valueNames(root, path); }

    bool createKey(uint32_t root, const QString& path);
    bool setValue(uint32_t root, const QString& path, const QString& name, const QString& value);
    bool deleteValue(uint32_t root, const QString& path, const QString& name);
    bool deleteKey(uint32_t root, const QString& path);

private:
    bool load(RegistryTree& tree) const;

    QString m_file;
};

} // namespace plat
