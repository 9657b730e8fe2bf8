#include "SoundSynth.h"

#include "SourceFiles.h"

#include <QHash>
#include <QSet>
#include <QStringList>

#include <algorithm>
#include <cmath>
#include <functional>
#include <optional>

// How a sound loops without a click: each file holds a whole number of the
// kind's periods; every steady tone segment holds whole cycles, so its phase
// is back at 0 where the segment ends and the next one starts; a sweep's
// frequencies are scaled so that a period holds whole cycles. The wave is
// then 0 at every period boundary and the phase runs on without a jump.
// Wherever a sound starts or stops (a beep, a struck note, notes still ringing
// at the end of a period) a short raised-cosine ramp takes its level from or
// to 0. A tone that carries on across a boundary is not ramped: it does not stop.

namespace cfgbuild {

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kHarmonicLimit = 8000.0;   // square and triangle: odd harmonics below this
constexpr double kEps = 1e-6;

[[noreturn]] void refuse(const QString& why)
{
    throw BuildError(why);
}

class Params {
public:
    explicit Params(const QString& definition)
    {
        for (const QString& item : definition.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
            const int eq = item.indexOf(QLatin1Char('='));
            if (eq <= 0 || eq == item.size() - 1)
                refuse(QStringLiteral("\"%1\" is not key=value").arg(item));
            const QString key = item.left(eq);
            if (m_values.contains(key))
                refuse(QStringLiteral("\"%1\" given twice").arg(key));
            m_values.insert(key, item.mid(eq + 1));
        }
    }

    QString text(const QString& key, const QString& fallback = {}) const
    {
        m_used.insert(key);
        if (!m_values.contains(key)) {
            if (fallback.isNull())
                refuse(QStringLiteral("\"%1\" is missing").arg(key));
            return fallback;
        }
        return m_values.value(key);
    }

    double number(const QString& key, double min, double max, std::optional<double> fallback = {}) const
    {
        if (!m_values.contains(key) && fallback) {
            m_used.insert(key);
            return *fallback;
        }
        return parse(key, text(key), min, max);
    }

    QVector<double> numbers(const QString& key, double min, double max) const
    {
        QVector<double> list;
        for (const QString& part : text(key).split(QLatin1Char(',')))
            list << parse(key, part, min, max);
        return list;
    }

    // A key that no kind reads is a typing error in the definition.
    void requireAllUsed() const
    {
        for (auto it = m_values.cbegin(); it != m_values.cend(); ++it)
            if (!m_used.contains(it.key()))
                refuse(QStringLiteral("\"%1\" is not a parameter of this kind").arg(it.key()));
    }

private:
    static double parse(const QString& key, const QString& text, double min, double max)
    {
        bool ok = false;
        const double v = text.toDouble(&ok);
        if (!ok || !std::isfinite(v) || v < min || v > max)
            refuse(QStringLiteral("%1=%2 is not a number from %3 to %4").arg(key, text).arg(min).arg(max));
        return v;
    }

    QHash<QString, QString> m_values;
    mutable QSet<QString> m_used;
};

// The waveform at a phase given in cycles.
class Oscillator {
public:
    Oscillator(const QString& wave, double highestFrequency)
    {
        if (wave == QLatin1String("sine")) {
            m_partials.append({1, 1.0});
        } else if (wave == QLatin1String("square") || wave == QLatin1String("triangle")) {
            const bool square = wave == QLatin1String("square");
            for (int k = 1; k == 1 || k * highestFrequency < kHarmonicLimit; k += 2) {
                const double level = square ? 1.0 / k : (((k - 1) / 2) % 2 ? -1.0 : 1.0) / (double(k) * k);
                m_partials.append({k, level});
            }
        } else {
            refuse(QStringLiteral("wave=%1 is not sine, square or triangle").arg(wave));
        }
    }

    double operator()(double cycles) const
    {
        const double frac = cycles - std::floor(cycles);
        double v = 0;
        for (const auto& p : m_partials)
            v += p.level * std::sin(2 * kPi * p.harmonic * frac);
        return v;
    }

private:
    struct Partial {
        int harmonic;
        double level;
    };
    QVector<Partial> m_partials;
};

// Raised-cosine level of a sound that starts at 0 and stops at length, at time x.
double ramped(double x, double length, double ramp)
{
    if (x < 0 || x > length)
        return 0;
    const double r = std::min(ramp, length / 2);
    if (r <= 0)
        return 1;
    const double edge = std::min(x, length - x);
    if (edge >= r)
        return 1;
    return 0.5 - 0.5 * std::cos(kPi * edge / r);
}

// A fade-in only (struck notes die away by themselves).
double attack(double x, double ramp)
{
    if (x < 0)
        return 0;
    if (ramp <= 0 || x >= ramp)
        return 1;
    return 0.5 - 0.5 * std::cos(kPi * x / ramp);
}

// A fade-out over the last ramp seconds before end.
double release(double x, double end, double ramp)
{
    return attack(end - x, ramp);
}

// The nearest frequency that puts whole cycles (at least one) into length.
double wholeCycles(double f, double length)
{
    return std::max(1.0, std::round(f * length)) / length;
}

bool isWhole(double v)
{
    return std::fabs(v - std::round(v)) < kEps * std::max(1.0, std::fabs(v));
}

} // namespace

QVector<int16_t> renderSamples(const QString& definition)
{
    const Params p(definition);
    const QString kind = p.text(QStringLiteral("kind"));
    const double duration = p.number(QStringLiteral("duration"), 0.01, 60);
    const double volume = p.number(QStringLiteral("volume"), 0.01, 1, 0.8);
    const double ramp = p.number(QStringLiteral("ramp"), 0, 1, 0.005);
    const QString wave = p.text(QStringLiteral("wave"), QStringLiteral("sine"));
    const double nyquist = kSampleRate / 2.0;
    const auto freq = [&](const char* key) { return p.number(QLatin1String(key), 20, nyquist); };
    const auto time = [&](const char* key, double min) { return p.number(QLatin1String(key), min, 60); };

    double period = 0;
    double highest = 0;
    std::function<double(double, const Oscillator&)> signal;   // at a time within the period

    if (kind == QLatin1String("tone")) {
        period = duration;
        const double f = wholeCycles(freq("f"), period);
        highest = f;
        signal = [=](double t, const Oscillator& osc) { return osc(f * t); };
    } else if (kind == QLatin1String("twotone")) {
        period = time("period", 0.002);
        const double half = period / 2;
        const double f1 = wholeCycles(freq("f1"), half);
        const double f2 = wholeCycles(freq("f2"), half);
        highest = std::max(f1, f2);
        signal = [=](double t, const Oscillator& osc) { return t < half ? osc(f1 * t) : osc(f2 * (t - half)); };
    } else if (kind == QLatin1String("pulse") || kind == QLatin1String("burst")) {
        const bool burst = kind == QLatin1String("burst");
        const double on = time("on", 0.002);
        const double off = time("off", 0);
        const int count = burst ? int(p.number(QStringLiteral("count"), 1, 100)) : 1;
        const double pause = burst ? time("pause", 0) : 0;
        if (burst && !isWhole(p.number(QStringLiteral("count"), 1, 100)))
            refuse(QStringLiteral("count must be a whole number"));
        const double f = wholeCycles(freq("f"), on);
        const double beat = on + off;
        period = count * beat + pause;
        highest = f;
        signal = [=](double t, const Oscillator& osc) {
            const int j = int(std::floor(t / beat));
            if (j >= count)
                return 0.0;
            const double x = t - j * beat;
            return x < on ? osc(f * x) * ramped(x, on, ramp) : 0.0;
        };
    } else if (kind == QLatin1String("sweep")) {
        period = time("period", 0.01);
        const QString shape = p.text(QStringLiteral("shape"));
        double f1 = freq("f1");
        double f2 = freq("f2");
        // The frequency is linear in time, so a period holds (f1 + f2) / 2 x period cycles.
        const double cycles = (f1 + f2) / 2 * period;
        const double scale = std::max(1.0, std::round(cycles)) / cycles;
        f1 *= scale;
        f2 *= scale;
        highest = std::max(f1, f2);
        if (highest >= nyquist)
            refuse(QStringLiteral("the sweep reaches the Nyquist frequency"));
        if (shape == QLatin1String("up")) {
            signal = [=](double t, const Oscillator& osc) { return osc(f1 * t + (f2 - f1) * t * t / (2 * period)); };
        } else if (shape == QLatin1String("updown")) {
            const double half = period / 2;
            const double atHalf = (f1 + f2) * half / 2;
            signal = [=](double t, const Oscillator& osc) {
                if (t < half)
                    return osc(f1 * t + (f2 - f1) * t * t / (2 * half));
                const double u = t - half;
                return osc(atHalf + f2 * u - (f2 - f1) * u * u / (2 * half));
            };
        } else {
            refuse(QStringLiteral("shape=%1 is not up or updown").arg(shape));
        }
    } else if (kind == QLatin1String("chime")) {
        const QVector<double> notes = p.numbers(QStringLiteral("notes"), 20, nyquist);
        const double step = time("step", 0);
        const double decay = time("decay", 0.001);
        period = time("period", 0.01);
        if ((notes.size() - 1) * step >= period)
            refuse(QStringLiteral("the last note is struck after the end of the period"));
        highest = *std::max_element(notes.cbegin(), notes.cend());
        signal = [=](double t, const Oscillator& osc) {
            double v = 0;
            for (int i = 0; i < notes.size(); ++i) {
                const double x = t - i * step;
                if (x >= 0)
                    v += attack(x, ramp) * std::exp(-x / decay) * osc(notes[i] * x);
            }
            // Notes still ringing when the period ends fade out.
            return v * release(t, period, ramp);
        };
    } else if (kind == QLatin1String("bell")) {
        const double f = freq("f");
        const double rate = p.number(QStringLiteral("rate"), 0.1, 1000);
        const double decay = time("decay", 0.001);
        const double on = time("on", 0.001);
        const double off = time("off", 0);
        period = on + off;
        highest = f;
        const int strikes = std::max(1, int(std::ceil(on * rate - kEps)));
        struct Partial {
            double ratio, level;
        };
        QVector<Partial> partials;
        for (const Partial part : {Partial{1, 1}, Partial{2.76, 0.5}, Partial{5.40, 0.25}})
            if (part.ratio * f < nyquist)
                partials.append(part);
        signal = [=](double t, const Oscillator&) {
            double v = 0;
            for (int k = 0; k < strikes; ++k) {
                const double x = t - k / rate;
                if (x < 0)
                    break;
                if (x > 20 * decay)
                    continue;
                double s = 0;
                for (const Partial& part : partials)
                    s += part.level * std::sin(2 * kPi * part.ratio * f * x);
                v += attack(x, ramp) * std::exp(-x / decay) * s;
            }
            return v * release(t, period, ramp);
        };
    } else {
        refuse(QStringLiteral("kind=%1 is not a known kind").arg(kind));
    }
    p.requireAllUsed();

    if (!isWhole(duration / period) || std::round(duration / period) < 1)
        refuse(QStringLiteral("duration=%1 is not a whole number of periods of %2 s").arg(duration).arg(period));
    if (!isWhole(duration * kSampleRate))
        refuse(QStringLiteral("duration=%1 is not a whole number of samples").arg(duration));

    const Oscillator osc(wave, highest);
    const int n = int(std::lround(duration * kSampleRate));
    QVector<double> raw(n);
    double peak = 0;
    for (int i = 0; i < n; ++i) {
        const double t = double(i) / kSampleRate;
        double k = std::floor(t / period + kEps);
        double within = t - k * period;
        if (within < 0)
            within = 0;
        raw[i] = signal(within, osc);
        peak = std::max(peak, std::fabs(raw[i]));
    }
    if (peak <= 0)
        refuse(QStringLiteral("the sound is silent"));

    QVector<int16_t> samples(n);
    const double gain = volume * 32767.0 / peak;
    for (int i = 0; i < n; ++i)
        samples[i] = int16_t(std::clamp<long>(std::lround(raw[i] * gain), -32767, 32767));
    return samples;
}

QByteArray wavFile(const QVector<int16_t>& samples)
{
    QByteArray out;
    const auto u32 = [&](uint32_t v) {
        for (int i = 0; i < 4; ++i)
            out.append(char((v >> (8 * i)) & 0xff));
    };
    const auto u16 = [&](uint16_t v) {
        out.append(char(v & 0xff));
        out.append(char(v >> 8));
    };
    const uint32_t dataBytes = uint32_t(samples.size()) * 2;
    out.append("RIFF", 4);
    u32(36 + dataBytes);
    out.append("WAVE", 4);
    out.append("fmt ", 4);
    u32(16);
    u16(1);                    // PCM
    u16(1);                    // mono
    u32(kSampleRate);
    u32(kSampleRate * 2);      // bytes a second
    u16(2);                    // bytes a frame
    u16(16);                   // bits a sample
    out.append("data", 4);
    u32(dataBytes);
    for (const int16_t s : samples)
        u16(uint16_t(s));
    return out;
}

} // namespace cfgbuild
