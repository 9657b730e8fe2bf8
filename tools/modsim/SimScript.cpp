#include "tools/modsim/SimScript.h"

#include <QRegularExpression>

#include <algorithm>
#include <cmath>

namespace modsim {

namespace {

std::optional<int> number(const QString& text)
{
    bool ok = false;
    const int v = text.startsWith(QLatin1String("0x"), Qt::CaseInsensitive) ? text.mid(2).toInt(&ok, 16) : text.toInt(&ok, 10);
    return ok ? std::optional<int>(v) : std::nullopt;
}

struct Verb {
    const char* name;
    ScriptAction::Kind kind;
    int minArgs; // after the module
    int maxArgs;
};

constexpr Verb kVerbs[] = {
    {"event", ScriptAction::Kind::Event, 2, 3},
    {"state", ScriptAction::Kind::State, 2, 2},
    {"status", ScriptAction::Kind::Status, 1, 1},
    {"fault", ScriptAction::Kind::Fault, 1, 2},
    {"off", ScriptAction::Kind::Off, 0, 0},
    {"on", ScriptAction::Kind::On, 0, 0},
};

} // namespace

std::optional<ScriptAction> SimScript::parseLine(const QString& line, QString* error)
{
    QString text = line;
    const int hash = static_cast<int>(text.indexOf(QLatin1Char('#')));
    if (hash >= 0)
        text.truncate(hash);
    const QStringList f = text.split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts);
    if (f.isEmpty())
        return std::nullopt;
    auto fail = [&](const QString& why) {
        if (error)
            *error = why;
        return std::nullopt;
    };
    bool ok = false;
    const double seconds = f[0].toDouble(&ok);
    if (!ok || seconds < 0 || !std::isfinite(seconds))
        return fail(QStringLiteral("a time in seconds must come first"));
    if (f.size() < 3)
        return fail(QStringLiteral("an action and a module must follow the time"));
    const Verb* verb = nullptr;
    for (const Verb& v : kVerbs)
        if (f[1].compare(QLatin1String(v.name), Qt::CaseInsensitive) == 0)
            verb = &v;
    if (!verb)
        return fail(QStringLiteral("unknown action \"%1\"").arg(f[1]));
    ScriptAction a;
    a.atMs = std::llround(seconds * 1000.0);
    a.kind = verb->kind;
    const auto module = number(f[2]);
    if (!module)
        return fail(QStringLiteral("bad module \"%1\"").arg(f[2]));
    a.module = *module;
    const int args = static_cast<int>(f.size()) - 3;
    if (args < verb->minArgs || args > verb->maxArgs)
        return fail(QStringLiteral("\"%1\" takes %2 to %3 values after the module").arg(f[1]).arg(verb->minArgs).arg(verb->maxArgs));
    for (int i = 3; i < f.size(); ++i) {
        if (a.kind == ScriptAction::Kind::Fault && i == 3) {
            if (!Fault::fromName(f[i]))
                return fail(QStringLiteral("unknown fault \"%1\"").arg(f[i]));
            a.faultName = f[i];
            continue;
        }
        const auto v = number(f[i]);
        if (!v)
            return fail(QStringLiteral("bad number \"%1\"").arg(f[i]));
        if (a.kind == ScriptAction::Kind::Fault)
            a.faultParam = *v;
        else
            a.numbers.push_back(*v);
    }
    if (a.kind == ScriptAction::Kind::Event && a.numbers.size() == 2)
        a.numbers.push_back(0);
    return a;
}

bool SimScript::parse(const QString& text, QString* error)
{
    m_actions.clear();
    m_next = 0;
    const QStringList lines = text.split(QLatin1Char('\n'));
    for (int i = 0; i < lines.size(); ++i) {
        QString why;
        auto a = parseLine(lines[i], &why);
        if (!a) {
            if (!why.isEmpty()) {
                if (error)
                    *error = QStringLiteral("line %1: %2").arg(i + 1).arg(why);
                m_actions.clear();
                return false;
            }
            continue;
        }
        a->line = i + 1;
        m_actions.push_back(*a);
    }
    std::stable_sort(m_actions.begin(), m_actions.end(),
                     [](const ScriptAction& x, const ScriptAction& y) { return x.atMs < y.atMs; });
    return true;
}

std::optional<qint64> SimScript::nextAtMs() const
{
    if (finished())
        return std::nullopt;
    return m_actions[m_next].atMs;
}

bool SimScript::apply(Simulator& sim, const ScriptAction& a)
{
    switch (a.kind) {
    case ScriptAction::Kind::Event:
        return sim.raiseEvent(a.module, a.numbers[0], a.numbers[1], a.numbers[2]);
    case ScriptAction::Kind::State:
        return a.numbers[1] >= 0 && a.numbers[1] <= 0xFFFF
            && sim.setChannelState(a.module, a.numbers[0], static_cast<std::uint16_t>(a.numbers[1]));
    case ScriptAction::Kind::Status:
        return a.numbers[0] >= -0x8000 && a.numbers[0] <= 0xFFFF
            && sim.setStatusWord(a.module, static_cast<std::uint16_t>(a.numbers[0]));
    case ScriptAction::Kind::Fault:
        return sim.setFault(a.module, a.faultName, a.faultParam);
    case ScriptAction::Kind::Off:
        return sim.setPower(a.module, false);
    case ScriptAction::Kind::On:
        return sim.setPower(a.module, true);
    }
    return false;
}

int SimScript::runDue(Simulator& sim, qint64 elapsedMs, QStringList* warnings)
{
    int ran = 0;
    while (m_next < m_actions.size() && m_actions[m_next].atMs <= elapsedMs) {
        const ScriptAction& a = m_actions[m_next++];
        if (!apply(sim, a) && warnings)
            warnings->append(QStringLiteral("line %1: not applied (no such module, or a value the module cannot take)").arg(a.line));
        ++ran;
    }
    return ran;
}

} // namespace modsim
