#include "library/Divers.h"
#include "platform/Values.h"

#include "library/LibErrors.h"
#include "platform/Regional.h"
#include "platform/ComponentClasses.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cmath>
#include <limits>
#include <spawn.h>
#include <sys/wait.h>
#include <vector>

extern char** environ;

namespace VexLib22 {

COMPONENT_CLASS(Divers, _Divers, CLSID_Divers, IID_Divers);

namespace {

QString cached(QString& cache, QChar fromSystem)
{
    if (cache.isEmpty() && !fromSystem.isNull())
        cache = QString(fromSystem);
    return cache;
}

enum class Kind { Number, Date, Text, Other };

struct Classified {
    Kind kind;
    double number = 0.0;
    plat::DateTime date;
};

Classified classify(const plat::Value& v)
{
    using T = plat::Value::Type;
    switch (v.type()) {
    case T::Boolean: return {Kind::Number, v.toBool() ? 1.0 : 0.0, {}};
    case T::Integer:
    case T::Double: return {Kind::Number, v.toDouble(), {}};
    case T::Date: return {Kind::Date, 0.0, v.toDate()};
    case T::Text: {
        const QString s = v.toText();
        if (auto n = plat::parseNumber(s))
            return {Kind::Number, *n, {}};
        if (auto d = plat::parseDate(s))
            return {Kind::Date, 0.0, *d};
        return {Kind::Text, 0.0, {}};
    }
    default: return {Kind::Other, 0.0, {}};
    }
}

// A single float; beyond its range the run-time's overflow, as its conversion raised.
float toSingle(double v)
{
    if (std::fabs(v) > double(std::numeric_limits<float>::max()))
        raiseRtError(plat::rt::Overflow);
    return float(v);
}

} // namespace

QString Divers::SepList() { return cached(m_sepList, plat::Regional::listSeparator()); }
QString Divers::SepDec() { return cached(m_sepDec, plat::Regional::decimalSeparator()); }
QString Divers::SepMil() { return cached(m_sepMil, plat::Regional::thousandSeparator()); }

bool Divers::greater(const plat::Value& a, const plat::Value& b)
{
    const Classified ca = classify(a), cb = classify(b);
    if (ca.kind == cb.kind) {
        switch (ca.kind) {
        case Kind::Number: return ca.number > cb.number;
        case Kind::Date: return ca.date > cb.date;
        case Kind::Text: return QString::compare(a.toText(), b.toText(), Qt::CaseSensitive) > 0;
        case Kind::Other: break;
        }
    }
    // Mixed kinds: the run-time's own comparison; with Null it is never true.
    const auto c = plat::compareValues(a, b);
    return c && *c > 0;
}

plat::Value Divers::Mini(const plat::Value& ValA, const plat::Value& ValB)
{
    return greater(ValA, ValB) ? ValB : ValA;
}

plat::Value Divers::Maxi(const plat::Value& ValA, const plat::Value& ValB)
{
    return greater(ValA, ValB) ? ValA : ValB;
}

void Divers::Borner(plat::Value& Valeur, const plat::Value& ValMin, const plat::Value& ValMax)
{
    Valeur = Mini(Valeur, ValMax);
    Valeur = Maxi(Valeur, ValMin);
}

float Divers::Num(const QString& ValTxt)
{
    // Blanks are grouping only: all of them go, also in front.
    QString s = ValTxt;
    s.remove(QChar(' '));
    s.remove(QChar(0x00A0));
    if (s.isEmpty())
        return 0.0f;
    if (auto v = plat::parseNumber(s))
        return toSingle(*v);

    // Not a number here: guess which notation was typed, then read it with
    // the point as decimal mark.
    if (s.contains('.')) {
        s.remove(',');
    } else {
        const qsizetype commas = s.count(',');
        if (commas == 0)
            return 0.0f;
        if (commas == 1) {
            if (SepDec() != QLatin1String("."))
                s.replace(',', '.');
        } else {
            const qsizetype first = s.indexOf(',');
            while (s.indexOf(',', first + 1) >= 0)
                s.remove(s.indexOf(','), 1);
        }
    }
    return toSingle(plat::Val(s));
}

int32_t Divers::Ceiling(double Num)
{
    const double c = std::ceil(Num);
    if (!(c >= -2147483648.0 && c <= 2147483647.0))
        raiseRtError(plat::rt::Overflow);
    return int32_t(c);
}

plat::Value Divers::Remplace(const QString& Original, const QString& Rech, const QString& Rempl)
{
    const qsizetype p = Original.indexOf(Rech, 0, Qt::CaseSensitive);
    if (p < 0)
        return plat::Value(Original);
    QString out = Original;
    out.replace(p, Rech.size(), Rempl);
    return plat::Value(out);
}

QStringList Divers::splitCommandLine(const QString& commandLine)
{
    QStringList args;
    QString cur;
    bool inArg = false, quoted = false;
    const qsizetype n = commandLine.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = commandLine[i];
        if (c == '\\') {
            qsizetype k = i;
            while (k < n && commandLine[k] == '\\')
                ++k;
            const qsizetype count = k - i;
            if (k < n && commandLine[k] == '"') {
                cur += QString(count / 2, '\\');
                if (count % 2) {
                    cur += '"';
                    i = k;
                } else {
                    i = k - 1;   // the quote is handled next
                }
            } else {
                cur += QString(count, '\\');
                i = k - 1;
            }
            inArg = true;
        } else if (c == '"') {
            if (quoted && i + 1 < n && commandLine[i + 1] == '"') {
                cur += '"';   // "" inside quotes is one quote
                ++i;
            } else {
                quoted = !quoted;
            }
            inArg = true;
        } else if ((c == ' ' || c == '\t') && !quoted) {
            if (inArg) {
                args << cur;
                cur.clear();
                inArg = false;
            }
        } else {
            cur += c;
            inArg = true;
        }
    }
    if (inArg)
        args << cur;
    return args;
}

bool Divers::LaunchAndWaitForApp(const QString& AppName, const QString& AppDir, const QString& CmdLine, bool Masked)
{
    Q_UNUSED(Masked);
    QString app = AppName;
    if (app.contains(' ') && !app.startsWith('"'))
        app = '"' + app + '"';
    const QStringList args = splitCommandLine(plat::Trim(app + ' ' + CmdLine));
    if (args.isEmpty())
        return false;

    // A relative program path counts from the caller's folder, not from AppDir.
    QString program = args.first();
    if (program.contains('/') && QFileInfo(program).isRelative())
        program = QFileInfo(program).absoluteFilePath();

    std::vector<QByteArray> bytes;
    bytes.reserve(args.size());
    bytes.push_back(QFile::encodeName(program));
    for (qsizetype i = 1; i < args.size(); ++i)
        bytes.push_back(args[i].toLocal8Bit());
    std::vector<char*> argv;
    for (auto& b : bytes)
        argv.push_back(b.data());
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    const QByteArray dir = QFile::encodeName(AppDir);
    if (!AppDir.isEmpty())
        posix_spawn_file_actions_addchdir_np(&actions, dir.constData());

    // The started program gets the caller's environment: without PATH and
    // HOME most programs here would not run.
    pid_t pid = 0;
    const int rc = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (rc != 0)
        return false;

    int status = 0;
    pid_t w;
    do {
        w = waitpid(pid, &status, 0);
    } while (w < 0 && errno == EINTR);
    return w == pid;
}

} // namespace VexLib22
