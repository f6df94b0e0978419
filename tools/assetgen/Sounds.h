#pragma once
// The five sound cues, synthesised: short bell-like chimes and a rattling buzz for a shake.

#include <cstdint>
#include <vector>

class AssetWriter;

namespace Sounds {

constexpr int kSampleRate = 22050;

struct Note {
    double frequency; // Hz
    double start;     // seconds from the beginning of the cue
    double length;    // seconds until the note has died away
    double loudness;  // 0..1 before the cue is normalised
};

// Bell-like notes (a few decaying partials), normalised to a comfortable peak.
std::vector<int16_t> Chime(const std::vector<Note>& notes);
// A low buzz beating at a rattle rate, as of a shaken window.
std::vector<int16_t> Rattle(double seconds);
void Write(AssetWriter& writer);

} // namespace Sounds
