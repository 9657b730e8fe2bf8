#include "platform/RegistryStore.h"

#include "platform/AppIdentity.h"

#include <QByteArray>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace plat {

namespace {

const char* const kRootNames[] = {"HKEY_CLASSES_ROOT", "HKEY_CURRENT_USER", "HKEY_LOCAL_MACHINE", "HKEY_USERS",
                                  "HKEY_PERFORMANCE_DATA", "HKEY_CURRENT_CONFIG", "HKEY_DYN_DATA"};

QString folded(const QString& s)
{
    return s.toCaseFolded();
}

bool validName(const QString& name)
{
    if (name.isEmpty())
        return false;
    for (QChar c : name)
        if (c.unicode() < 0x20 || c == QLatin1Char('\\'))
            return false;
    return true;
}

// Quoted text with the few escapes a value may need (it may hold any character).
QString quote(const QString& s)
{
    QString out = QStringLiteral("\"");
    for (QChar c : s) {
        switch (c.unicode()) {
        case '\\': out += QLatin1String("\\\\"); break;
        case '"': out += QLatin1String("\\\""); break;
        case '\n': out += QLatin1String("\\n"); break;
        case '\r': out += QLatin1String("\\r"); break;
        case '\t': out += QLatin1String("\\t"); break;
        default:
            if (c.unicode() < 0x20)
                out += QStringLiteral("\\x%1").arg(c.unicode(), 2, 16, QLatin1Char('0'));
            else
                out += c;
        }
    }
    return out + QLatin1Char('"');
}

// Reads a quoted text starting at pos (the opening quote); pos ends after the closing quote.
std::optional<QString> unquote(const QString& line, qsizetype& pos)
{
    if (pos >= line.size() || line[pos] != QLatin1Char('"'))
        return std::nullopt;
    QString out;
    for (++pos; pos < line.size(); ++pos) {
        const QChar c = line[pos];
        if (c == QLatin1Char('"')) {
            ++pos;
            return out;
        }
        if (c != QLatin1Char('\\')) {
            out += c;
            continue;
        }
        if (++pos >= line.size())
            return std::nullopt;
        switch (line[pos].unicode()) {
        case 'n': out += QLatin1Char('\n'); break;
        case 'r': out += QLatin1Char('\r'); break;
        case 't': out += QLatin1Char('\t'); break;
        case 'x': {
            bool ok = false;
            const int code = line.mid(pos + 1, 2).toInt(&ok, 16);
            if (!ok)
                return std::nullopt;
            out += QChar(code);
            pos += 2;
            break;
        }
        default: out += line[pos];
        }
    }
    return std::nullopt;
}

// Holds the store's lock (on its folder, so that the atomic replace of the
// file does not lose it) for one read-modify-write.
class FolderLock {
public:
    explicit FolderLock(const QString& file)
    {
        const QByteArray dir = QFile::encodeName(QFileInfo(file).absolutePath());
        m_fd = ::open(dir.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (m_fd >= 0)
            while (::flock(m_fd, LOCK_EX) != 0 && errno == EINTR) {
            }
    }
    ~FolderLock()
    {
        if (m_fd >= 0)
            ::close(m_fd);  // releases the lock
    }
    FolderLock(const FolderLock&) = delete;
    FolderLock& operator=(const FolderLock&) = delete;

private:
    int m_fd = -1;
};

} // namespace

QString RegistryTree::rootName(uint32_t root)
{
    const uint32_t index = root - RegistryRoot::ClassesRoot;
    if (root < RegistryRoot::ClassesRoot || index >= std::size(kRootNames))
        return {};
    return QLatin1String(kRootNames[index]);
}

std::optional<QString> RegistryTree::fullPath(uint32_t root, const QString& path)
{
    const QString rootText = rootName(root);
    if (rootText.isEmpty())
        return std::nullopt;
    QString p = path;
    if (p.endsWith(QLatin1Char('\\')))
        p.chop(1);
    if (p.isEmpty())
        return rootText;
    for (const QString& part : p.split(QLatin1Char('\\')))
        if (!validName(part))
            return std::nullopt;
    return rootText + QLatin1Char('\\') + p;
}

const RegistryTree::Key* RegistryTree::find(uint32_t root, const QString& path) const
{
    const auto full = fullPath(root, path);
    if (!full)
        return nullptr;
    const auto it = m_keys.constFind(folded(*full));
    return it == m_keys.cend() ? nullptr : &it.value();
}

RegistryTree::Key* RegistryTree::find(uint32_t root, const QString& path)
{
    // find(), not constFind(): the map is shared with copies until it detaches here.
    const auto full = fullPath(root, path);
    if (!full)
        return nullptr;
    const auto it = m_keys.find(folded(*full));
    return it == m_keys.end() ? nullptr : &it.value();
}

bool RegistryTree::keyExists(uint32_t root, const QString& path) const
{
    const auto full = fullPath(root, path);
    if (!full)
        return false;
    return !full->contains(QLatin1Char('\\')) || m_keys.contains(folded(*full));
}

bool RegistryTree::createFull(const QString& full)
{
    const QStringList parts = full.split(QLatin1Char('\\'));
    QString path = parts.front();
    if (!m_keys.contains(folded(path)))
        m_keys.insert(folded(path), Key{path, {}});
    for (qsizetype i = 1; i < parts.size(); ++i) {
        path += QLatin1Char('\\') + parts[i];
        if (!m_keys.contains(folded(path)))
            m_keys.insert(folded(path), Key{path, {}});
    }
    return true;
}

bool RegistryTree::createKey(uint32_t root, const QString& path)
{
    const auto full = fullPath(root, path);
    return full && createFull(*full);
}

bool RegistryTree::setValue(uint32_t root, const QString& path, const QString& name, const QString& value)
{
    if (!keyExists(root, path))
        return false;
    if (!find(root, path))
        createKey(root, path);  // a root is created on its first value
    Key* key = find(root, path);
    for (auto& v : key->values)
        if (folded(v.first) == folded(name)) {
            v.second = value;
            return true;
        }
    key->values.append({name, value});
    return true;
}

std::optional<QString> RegistryTree::value(uint32_t root, const QString& path, const QString& name) const
{
    const Key* key = find(root, path);
    if (!key)
        return std::nullopt;
    for (const auto& v : key->values)
        if (folded(v.first) == folded(name))
            return v.second;
    return std::nullopt;
}

bool RegistryTree::deleteValue(uint32_t root, const QString& path, const QString& name)
{
    Key* key = find(root, path);
    if (!key)
        return false;
    for (qsizetype i = 0; i < key->values.size(); ++i)
        if (folded(key->values[i].first) == folded(name)) {
            key->values.removeAt(i);
            return true;
        }
    return false;
}

bool RegistryTree::deleteKey(uint32_t root, const QString& path)
{
    const auto full = fullPath(root, path);
    if (!full || !full->contains(QLatin1Char('\\')))
        return false;
    const QString k = folded(*full);
    if (!m_keys.contains(k) || !subKeys(root, path).isEmpty())
        return false;
    m_keys.remove(k);
    return true;
}

QStringList RegistryTree::subKeys(uint32_t root, const QString& path) const
{
    QStringList names;
    const auto full = fullPath(root, path);
    if (!full || !keyExists(root, path))
        return names;
    const QString prefix = folded(*full) + QLatin1Char('\\');
    for (auto it = m_keys.lowerBound(prefix); it != m_keys.cend() && it.key().startsWith(prefix); ++it) {
        if (!it.key().mid(prefix.size()).contains(QLatin1Char('\\')))
            names.append(it.value().path.section(QLatin1Char('\\'), -1));
    }
    return names;
}

QStringList RegistryTree::valueNames(uint32_t root, const QString& path) const
{
    QStringList names;
    if (const Key* key = find(root, path))
        for (const auto& v : key->values)
            names.append(v.first);
    return names;
}

QByteArray RegistryTree::serialize() const
{
    QString out = QStringLiteral("; Registry store (UTF-8): [key path], then name=value, @ = default value\n");
    for (const Key& key : m_keys) {
        // A root is there anyway: write it only when it holds values.
        if (!key.path.contains(QLatin1Char('\\')) && key.values.isEmpty())
            continue;
        out += QStringLiteral("\n[") + key.path + QStringLiteral("]\n");
        for (const auto& v : key.values)
            out += (v.first.isEmpty() ? QStringLiteral("@") : quote(v.first)) + QLatin1Char('=') + quote(v.second)
                   + QLatin1Char('\n');
    }
    return out.toUtf8();
}

RegistryTree RegistryTree::parse(const QByteArray& data)
{
    RegistryTree tree;
    const QString text = QString::fromUtf8(data);
    Key* current = nullptr;
    for (QString line : text.split(QLatin1Char('\n'))) {
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
        if (line.isEmpty() || line.startsWith(QLatin1Char(';')))
            continue;
        if (line.startsWith(QLatin1Char('[')) && line.endsWith(QLatin1Char(']'))) {
            current = nullptr;
            const QString full = line.mid(1, line.size() - 2);
            const qsizetype sep = full.indexOf(QLatin1Char('\\'));
            const QString rootText = sep < 0 ? full : full.left(sep);
            for (uint32_t i = 0; i < std::size(kRootNames); ++i) {
                if (rootText.compare(QLatin1String(kRootNames[i]), Qt::CaseInsensitive) != 0)
                    continue;
                const uint32_t root = RegistryRoot::ClassesRoot + i;
                const QString path = sep < 0 ? QString() : full.mid(sep + 1);
                if (tree.createKey(root, path))
                    current = tree.find(root, path);
            }
            continue;
        }
        if (!current)
            continue;
        qsizetype pos = 0;
        std::optional<QString> name;
        if (line.startsWith(QLatin1Char('@'))) {
            name = QString();
            pos = 1;
        } else {
            name = unquote(line, pos);
        }
        if (!name || pos >= line.size() || line[pos] != QLatin1Char('='))
            continue;
        ++pos;
        const auto value = unquote(line, pos);
        if (!value)
            continue;
        bool replaced = false;
        for (auto& v : current->values)
            if (folded(v.first) == folded(*name)) {
                v.second = *value;
                replaced = true;
            }
        if (!replaced)
            current->values.append({*name, *value});
    }
    return tree;
}

QString RegistryStore::defaultFile()
{
    const QString env = qEnvironmentVariable("PLX_REGISTRY_FILE");
    if (!env.isEmpty())
        return env;
    return AppIdentity::programFolder() + QStringLiteral("/Registry.ini");
}

RegistryStore::RegistryStore(QString file) : m_file(std::move(file)) {}

bool RegistryStore::load(RegistryTree& tree) const
{
    QFile f(m_file);
    if (!f.exists()) {
        tree = RegistryTree();
        return true;
    }
    if (!f.open(QIODevice::ReadOnly))
        return false;
    tree = RegistryTree::parse(f.readAll());
    return true;
}

RegistryTree RegistryStore::read() const
{
    RegistryTree tree;
    load(tree);
    return tree;
}

bool RegistryStore::update(const std::function<bool(RegistryTree&)>& edit)
{
    FolderLock lock(m_file);
    RegistryTree before;
    if (!load(before))
        return false;
    RegistryTree after = before;
    if (!edit(after))
        return false;
    const QByteArray data = after.serialize();
    if (data == before.serialize())
        return true;
    QSaveFile out(m_file);
    if (!out.open(QIODevice::WriteOnly))
        return false;
    out.write(data);
    return out.commit();
}

bool RegistryStore::createKey(uint32_t root, const QString& path)
{
    return update([&](RegistryTree& t) { return t.createKey(root, path); });
}

bool RegistryStore::setValue(uint32_t root, const QString& path, const QString& name, const QString& value)
{
    return update([&](RegistryTree& t) { return t.setValue(root, path, name, value); });
}

bool RegistryStore::deleteValue(uint32_t root, const QString& path, const QString& name)
{
    return update([&](RegistryTree& t) { return t.deleteValue(root, path, name); });
}

bool RegistryStore::deleteKey(uint32_t root, const QString& path)
{
    return update([&](RegistryTree& t) { return t.deleteKey(root, path); });
}

} // namespace plat
