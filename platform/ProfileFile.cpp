#include "platform/ProfileFile.h"
#include "platform/FileIo.h"

#include <functional>

#include "platform/AppIdentity.h"
#include "platform/Cp1252.h"
#include "platform/Values.h"

#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QMutex>
#include <QMutexLocker>

#include <atomic>
#include <cerrno>
#include <ctime>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace plat::ProfileFile {

namespace {

struct Line {
    enum Kind { Other, Section, Key };
    QString text;   // the line as it stands in the file, without its line end
    Kind kind = Other;
    QString name;   // section or key name, trimmed
    QString value;  // for a key: everything after the first '=', untrimmed
};
using Lines = std::vector<Line>;


bool sameName(const QString& a, const QString& b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

Line parseLine(const QString& text)
{
    Line l;
    l.text = text;
    const QString t = Trim(text, SpacesAndTabs);
    if (t.startsWith('[')) {
        const qsizetype close = t.indexOf(']');
        l.kind = Line::Section;
        l.name = Trim(close < 0 ? t.mid(1) : t.mid(1, close - 1), SpacesAndTabs);
        return l;
    }
    if (t.isEmpty() || t.startsWith(';'))
        return l;
    const qsizetype eq = t.indexOf('=');
    if (eq <= 0)
        return l;  // no key name: kept, but not a key
    const qsizetype eqInText = text.indexOf('=');
    l.kind = Line::Key;
    l.name = Trim(t.left(eq), SpacesAndTabs);
    l.value = text.mid(eqInText + 1);
    if (l.name.isEmpty())
        l.kind = Line::Other;
    return l;
}

Lines parse(const QByteArray& bytes)
{
    Lines lines;
    const QString text = Cp1252::decode(bytes);
    qsizetype start = 0;
    while (start < text.size()) {
        qsizetype nl = text.indexOf('\n', start);
        qsizetype end = nl < 0 ? text.size() : nl;
        qsizetype stop = end;
        if (stop > start && text[stop - 1] == '\r')
            --stop;
        lines.push_back(parseLine(text.mid(start, stop - start)));
        start = nl < 0 ? text.size() : nl + 1;
    }
    return lines;
}

QByteArray serialize(const Lines& lines)
{
    QString text;
    for (const Line& l : lines) {
        text += l.text;
        text += QStringLiteral("\r\n");
    }
    return Cp1252::encode(text);
}

// Index of the header of the first section of that name, or -1.
qsizetype findSection(const Lines& lines, const QString& section)
{
    // Names are compared as the file shows them: without surrounding blanks.
    for (size_t i = 0; i < lines.size(); ++i)
        if (lines[i].kind == Line::Section && sameName(lines[i].name, section))
            return qsizetype(i);
    return -1;
}

// One past the last line of the section whose header is at 'header'.
qsizetype sectionEnd(const Lines& lines, qsizetype header)
{
    qsizetype i = header + 1;
    while (i < qsizetype(lines.size()) && lines[size_t(i)].kind != Line::Section)
        ++i;
    return i;
}

// What identifies one version of a file. A rename (our own writes, and most
// editors') changes the inode; an in-place rewrite changes mtime, ctime or size.
struct Stamp {
    dev_t dev = 0;
    ino_t ino = 0;
    off_t size = 0;
    int64_t mtimeNs = 0;
    int64_t ctimeNs = 0;
    bool operator==(const Stamp&) const = default;
};

Stamp stampOf(const struct stat& st)
{
    Stamp s;
    s.dev = st.st_dev;
    s.ino = st.st_ino;
    s.size = st.st_size;
    s.mtimeNs = int64_t(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
    s.ctimeNs = int64_t(st.st_ctim.tv_sec) * 1000000000 + st.st_ctim.tv_nsec;
    return s;
}

int64_t nowNs()
{
    timespec ts{};
    clock_gettime(CLOCK_REALTIME, &ts);
    return int64_t(ts.tv_sec) * 1000000000 + ts.tv_nsec;
}

// File time stamps are coarse (a clock tick; two seconds on FAT): a file
// changed in place within that time after we read it can show the stamp we
// saw. A cached copy is trusted only when the file was last changed well
// before we read it.
constexpr int64_t kStampMarginNs = 3'000'000'000;
constexpr int kCacheSize = 8;

struct CacheEntry {
    Stamp stamp;
    int64_t readAtNs = 0;
    std::shared_ptr<const Lines> lines;
};

QMutex& mutex()
{
    static QMutex m;
    return m;
}

QHash<QString, CacheEntry>& cache()
{
    static QHash<QString, CacheEntry> c;
    return c;
}

std::function<bool(const QString&)>& beforeRenameHook()
{
    static std::function<bool(const QString&)> h;
    return h;
}

void remember(const QString& path, const Stamp& stamp, int64_t readAtNs, std::shared_ptr<const Lines> lines)
{
    auto& c = cache();
    if (!c.contains(path) && c.size() >= kCacheSize)
        c.clear();
    c.insert(path, CacheEntry{stamp, readAtNs, std::move(lines)});
}

struct Loaded {
    bool exists = false;
    bool readable = true;  // false: the file is there but could not be read
    std::shared_ptr<const Lines> lines;
};

// The whole file, whose size was seen as expected: a read that ends at that
// size has the file, with no second read to find its end.
bool readAll(int fd, QByteArray& out, qint64 expected)
{
    char buf[65536];
    for (;;) {
        const ssize_t n = ::read(fd, buf, sizeof buf);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        if (n == 0)
            return true;
        out.append(buf, n);
        if (out.size() == expected && size_t(n) < sizeof buf)
            return true;
    }
}

// The parsed file; a missing or unreadable file reads as empty.
Loaded load(const QString& path)
{
    static const auto empty = std::make_shared<const Lines>();
    const QByteArray native = QFile::encodeName(path);
    struct stat st{};
    if (::stat(native.constData(), &st) != 0 || !S_ISREG(st.st_mode)) {
        cache().remove(path);
        return {false, true, empty};
    }
    const Stamp stamp = stampOf(st);
    auto it = cache().constFind(path);
    if (it != cache().constEnd() && it->stamp == stamp && stamp.mtimeNs < it->readAtNs - kStampMarginNs)
        return {true, true, it->lines};

    const int64_t readAt = nowNs();
    const int fd = ::open(native.constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return {true, false, empty};
    QByteArray bytes;
    bytes.reserve(qsizetype(st.st_size));
    const bool ok = readAll(fd, bytes, st.st_size);
    ::close(fd);
    if (!ok)
        return {true, false, empty};
    auto lines = std::make_shared<const Lines>(parse(bytes));
    // The stamp seen before reading: a change made since shows as another stamp.
    remember(path, stamp, readAt, lines);
    return {true, true, lines};
}

// Writes the new content beside the target and renames it over the target,
// which takes the rights and owner of old, the file it replaces (if any). On
// any failure the target is untouched and the temporary file is removed.
bool writeAtomically(const QString& target, const QByteArray& data, const struct stat* old)
{
    static std::atomic<unsigned> counter{0};
    // Asked once: a file is rewritten at every event.
    static const pid_t pid = ::getpid();
    static const uid_t euid = ::geteuid();
    static const gid_t egid = ::getegid();
    const QByteArray nativeTarget = QFile::encodeName(target);
    const QFileInfo info(target);

    QByteArray tmp;
    int fd = -1;
    for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
        tmp = QFile::encodeName(info.absolutePath() + "/." + info.fileName() + '.' +
                                QString::number(pid) + '.' + QString::number(counter++) + ".tmp");
        fd = ::open(tmp.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST)
            return false;
    }
    if (fd < 0)
        return false;

    auto fail = [&] {
        const int err = errno;
        if (fd >= 0)
            ::close(fd);
        ::unlink(tmp.constData());
        errno = err;
        return false;
    };
    if (old) {
        // The replacement keeps the old file's rights and, where allowed, its owner.
        (void)::fchmod(fd, old->st_mode & 07777);
        if (old->st_uid != euid || old->st_gid != egid)
            (void)!::fchown(fd, old->st_uid, old->st_gid);
    }
    // No fsync: the file is rewritten at every event ("LastEvent"), and a sync
    // each time would cap the event rate at the disk's. The rename keeps the
    // old file whole against a crash of the program, and ext4 orders a file's
    // data before a rename that replaces another.
    if (!writeFully(fd, data))
        return fail();
    const int closeResult = ::close(fd);
    fd = -1;
    if (closeResult != 0)
        return fail();
    if (const auto& hook = beforeRenameHook(); hook && !hook(QFile::decodeName(tmp))) {
        errno = EIO;
        return fail();
    }
    if (::rename(tmp.constData(), nativeTarget.constData()) != 0)
        return fail();
    return true;
}

bool store(const QString& path, const Lines& lines)
{
    // The file that the change rewrites: a symbolic link stays a link to the new content.
    QString target = path;
    struct stat old{};
    bool hadOld = ::lstat(QFile::encodeName(path).constData(), &old) == 0;
    if (hadOld && S_ISLNK(old.st_mode)) {
        const QString real = QFileInfo(path).canonicalFilePath();
        if (!real.isEmpty())
            target = real;
        hadOld = ::stat(QFile::encodeName(target).constData(), &old) == 0;
    }
    // Read again at the next use: what the rename left is the file's to say.
    cache().remove(path);
    return writeAtomically(target, serialize(lines), hadOld ? &old : nullptr);
}

// Line breaks inside a name or a value would split the line and make new
// keys or sections of the rest.
QString oneLine(QString s)
{
    s.replace('\r', ' ');
    s.replace('\n', ' ');
    return s;
}

// A key's value as readers get it: trimmed, one pair of enclosing quotes removed.
QString valueOf(const Line& l)
{
    QString v = Trim(l.value, SpacesAndTabs);
    if (v.size() >= 2 && v.startsWith('"') && v.endsWith('"'))
        v = v.mid(1, v.size() - 2);
    return v;
}

} // namespace

QString resolvePath(const QString& fileName)
{
    if (fileName.isEmpty() || fileName.contains('/'))
        return fileName;
    return AppIdentity::programFolder() + '/' + fileName;
}

std::optional<QString> value(const QString& sectionArg, const QString& keyArg, const QString& fileName)
{
    const QString section = Trim(sectionArg, SpacesAndTabs), key = Trim(keyArg, SpacesAndTabs);
    const QString path = resolvePath(fileName);
    if (path.isEmpty())
        return std::nullopt;
    QMutexLocker lock(&mutex());
    const Loaded f = load(path);
    const Lines& lines = *f.lines;
    const qsizetype header = findSection(lines, section);
    if (header < 0)
        return std::nullopt;
    const qsizetype end = sectionEnd(lines, header);
    for (qsizetype i = header + 1; i < end; ++i) {
        const Line& l = lines[size_t(i)];
        if (l.kind == Line::Key && sameName(l.name, key))
            return valueOf(l);
    }
    return std::nullopt;
}

QString getString(const QString& section, const QString& key, const QString& defaultValue,
                  const QString& fileName)
{
    return value(section, key, fileName).value_or(defaultValue);
}

bool writeString(const QString& section, const QString& key, const QString& val,
                 const QString& fileName)
{
    const QString path = resolvePath(fileName);
    const QString sec = Trim(oneLine(section), SpacesAndTabs);
    const QString name = Trim(oneLine(key), SpacesAndTabs);
    if (path.isEmpty() || name.isEmpty())
        return false;
    const QString v = oneLine(val);

    QMutexLocker lock(&mutex());
    const Loaded f = load(path);
    if (!f.readable)
        return false;  // rewriting it would lose what we could not read
    Lines lines = *f.lines;
    const qsizetype header = findSection(lines, sec);
    if (header >= 0) {
        const qsizetype end = sectionEnd(lines, header);
        qsizetype insertAt = header + 1;
        for (qsizetype i = header + 1; i < end; ++i) {
            Line& l = lines[size_t(i)];
            if (l.kind != Line::Key)
                continue;
            if (sameName(l.name, name)) {
                const QString text = l.name + '=' + v;
                if (f.exists && l.text == text)
                    return true;
                l.text = text;
                l.value = v;
                return store(path, lines);
            }
            insertAt = i + 1;
        }
        lines.insert(lines.begin() + insertAt, parseLine(name + '=' + v));
    } else {
        if (!lines.empty() && !Trim(lines.back().text, SpacesAndTabs).isEmpty())
            lines.push_back(Line{});
        lines.push_back(parseLine('[' + sec + ']'));
        lines.push_back(parseLine(name + '=' + v));
    }
    return store(path, lines);
}

namespace {
// Removes the lines for which drop(line, inSection) holds, where inSection
// says whether the line stands in a section of that name (every section of
// that name: a hidden duplicate must not come back once the first is gone).
// A missing file has nothing to delete.
bool deleteLines(const QString& sectionArg, const QString& fileName,
                 const std::function<bool(const Line&, bool inSection)>& drop)
{
    const QString section = Trim(sectionArg, SpacesAndTabs);
    const QString path = resolvePath(fileName);
    if (path.isEmpty())
        return false;
    QMutexLocker lock(&mutex());
    const Loaded f = load(path);
    if (!f.exists)
        return true;
    if (!f.readable)
        return false;
    Lines lines = *f.lines;
    bool changed = false;
    bool inSection = false;
    for (auto it = lines.begin(); it != lines.end();) {
        if (it->kind == Line::Section)
            inSection = sameName(it->name, section);
        if (drop(*it, inSection)) {
            it = lines.erase(it);
            changed = true;
            continue;
        }
        ++it;
    }
    return !changed || store(path, lines);
}
} // namespace

bool deleteKey(const QString& section, const QString& keyArg, const QString& fileName)
{
    const QString key = Trim(keyArg, SpacesAndTabs);
    return deleteLines(section, fileName, [&](const Line& l, bool inSection) {
        return inSection && l.kind == Line::Key && sameName(l.name, key);
    });
}

bool deleteSection(const QString& section, const QString& fileName)
{
    return deleteLines(section, fileName, [](const Line&, bool inSection) { return inSection; });
}

Entries sectionEntries(const QString& sectionArg, const QString& fileName)
{
    const QString section = Trim(sectionArg, SpacesAndTabs);
    Entries out;
    const QString path = resolvePath(fileName);
    if (path.isEmpty())
        return out;
    QMutexLocker lock(&mutex());
    const Loaded f = load(path);
    const Lines& lines = *f.lines;
    const qsizetype header = findSection(lines, section);
    if (header < 0)
        return out;
    const qsizetype end = sectionEnd(lines, header);
    for (qsizetype i = header + 1; i < end; ++i)
        if (lines[size_t(i)].kind == Line::Key)
            out.append({lines[size_t(i)].name, valueOf(lines[size_t(i)])});
    return out;
}

bool replaceSection(const QString& sectionArg, const Entries& entries, const QString& fileName)
{
    const QString path = resolvePath(fileName);
    const QString section = Trim(oneLine(sectionArg), SpacesAndTabs);
    if (path.isEmpty())
        return false;
    QMutexLocker lock(&mutex());
    const Loaded f = load(path);
    if (!f.readable)
        return false;
    if (!f.exists && entries.isEmpty())
        return true;
    Lines lines;
    lines.reserve(f.lines->size() + size_t(entries.size()) + 2);
    // The new section takes the place of the first one of its name.
    qsizetype at = -1;
    bool inSection = false;
    for (const Line& l : *f.lines) {
        if (l.kind == Line::Section) {
            inSection = sameName(l.name, section);
            if (inSection && at < 0)
                at = qsizetype(lines.size());
        }
        if (!inSection)
            lines.push_back(l);
    }
    Lines added;
    if (!entries.isEmpty()) {
        added.push_back(parseLine('[' + section + ']'));
        for (const auto& [key, value] : entries) {
            const QString name = Trim(oneLine(key), SpacesAndTabs);
            if (!name.isEmpty())
                added.push_back(parseLine(name + '=' + oneLine(value)));
        }
    }
    if (at < 0) {
        if (!added.empty() && !lines.empty() && !Trim(lines.back().text, SpacesAndTabs).isEmpty())
            lines.push_back(Line{});
        at = qsizetype(lines.size());
    }
    lines.insert(lines.begin() + at, added.begin(), added.end());
    return store(path, lines);
}

QStringList keys(const QString& section, const QString& fileName)
{
    QStringList out;
    for (const auto& [key, value] : sectionEntries(section, fileName))
        out << key;
    return out;
}

QStringList sections(const QString& fileName)
{
    QStringList out;
    const QString path = resolvePath(fileName);
    if (path.isEmpty())
        return out;
    QMutexLocker lock(&mutex());
    const Loaded f = load(path);
    for (const Line& l : *f.lines)
        if (l.kind == Line::Section)
            out << l.name;
    return out;
}

void setBeforeRenameHook(std::function<bool(const QString& tempPath)> hook)
{
    QMutexLocker lock(&mutex());
    beforeRenameHook() = std::move(hook);
}

} // namespace plat::ProfileFile
