#pragma once
// Alarm sounds rendered from their definitions (data/sounds.tsv) to 16-bit
// mono PCM WAV files that loop without a click.

#include <QByteArray>
#include <QString>
#include <QVector>

#include <cstdint>

namespace cfgbuild {

constexpr int kSampleRate = 22050;

// The samples of a definition ("kind=pulse f=800 on=0.5 off=0.5 duration=4").
// Throws BuildError, without a place, for a definition it cannot render.
QVector<int16_t> renderSamples(const QString& definition);

// A complete WAV file of mono 16-bit samples at kSampleRate.
QByteArray wavFile(const QVector<int16_t>& samples);

} // namespace cfgbuild
