#include "Sounds.h"

#include "AssetWriter.h"

#include <QString>
#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

constexpr double kPeak = 0.55; // of full scale: clear but never harsh
constexpr double kAttack = 0.006;
constexpr double kTwoPi = 2.0 * std::numbers::pi;

std::vector<int16_t> Normalised(const std::vector<double>& signal) {
    double peak = 0.0;
    for (const double value : signal)
        peak = std::max(peak, std::abs(value));
    const double scale = peak > 0.0 ? kPeak * 32767.0 / peak : 0.0;
    std::vector<int16_t> samples(signal.size());
    std::transform(signal.begin(), signal.end(), samples.begin(), [scale](double value) {
        return static_cast<int16_t>(std::lround(value * scale));
    });
    return samples;
}

} // namespace

namespace Sounds {

std::vector<int16_t> Chime(const std::vector<Note>& notes) {
    double end = 0.0;
    for (const Note& note : notes)
        end = std::max(end, note.start + note.length);
    std::vector<double> signal(static_cast<size_t>(end * kSampleRate) + 1, 0.0);
    // Partials of a small bell: the fundamental, a soft octave and a faint twelfth.
    const double partials[][2] = {{1.0, 1.0}, {2.0, 0.32}, {3.0, 0.11}};
    for (const Note& note : notes) {
        const auto first = static_cast<size_t>(note.start * kSampleRate);
        const auto count = static_cast<size_t>(note.length * kSampleRate);
        for (size_t i = 0; i < count && first + i < signal.size(); ++i) {
            const double t = static_cast<double>(i) / kSampleRate;
            const double attack = std::min(1.0, t / kAttack);
            const double decay = std::exp(-5.0 * t / note.length);
            double value = 0.0;
            for (const auto& partial : partials)
                value += partial[1] * std::sin(kTwoPi * note.frequency * partial[0] * t) *
                         std::exp(-2.0 * partial[0] * t / note.length);
            signal[first + i] += note.loudness * attack * decay * value;
        }
    }
    return Normalised(signal);
}

std::vector<int16_t> Rattle(double seconds) {
    const auto count = static_cast<size_t>(seconds * kSampleRate);
    std::vector<double> signal(count);
    for (size_t i = 0; i < count; ++i) {
        const double t = static_cast<double>(i) / kSampleRate;
        const double attack = std::min(1.0, t / 0.02);
        const double release = std::min(1.0, (seconds - t) / 0.08);
        const double tremolo = 0.55 + 0.45 * std::sin(kTwoPi * 16.0 * t);
        const double body = std::sin(kTwoPi * 98.0 * t) + 0.5 * std::sin(kTwoPi * 196.0 * t) +
                            0.25 * std::sin(kTwoPi * 294.0 * t + 0.7);
        signal[i] = attack * release * tremolo * body;
    }
    return Normalised(signal);
}

void Write(AssetWriter& writer) {
    // Note frequencies in Hz: C5 523.25, E5 659.25, G5 783.99, A5 880, C6 1046.5, E6 1318.5.
    writer.WriteWav(QStringLiteral("Sounds/Online.wav"),
                    Chime({{659.25, 0.0, 0.45, 0.8}, {880.0, 0.11, 0.6, 0.9}}), kSampleRate);
    writer.WriteWav(QStringLiteral("Sounds/Offline.wav"),
                    Chime({{783.99, 0.0, 0.45, 0.7}, {523.25, 0.13, 0.6, 0.75}}), kSampleRate);
    writer.WriteWav(QStringLiteral("Sounds/Msg.wav"),
                    Chime({{1046.5, 0.0, 0.3, 0.8}, {1318.5, 0.08, 0.45, 0.7}}), kSampleRate);
    writer.WriteWav(
        QStringLiteral("Sounds/Notify.wav"),
        Chime({{523.25, 0.0, 0.4, 0.7}, {659.25, 0.1, 0.4, 0.7}, {783.99, 0.2, 0.7, 0.8}}),
        kSampleRate);
    writer.WriteWav(QStringLiteral("Sounds/Shake.wav"), Rattle(0.45), kSampleRate);
}

} // namespace Sounds
