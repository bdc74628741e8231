// What the user would hear, for tests of the audio chain: music made from
// chosen samples, the device's output recorded through a capturing sink, and
// the two measures the tests ask of it (the strongest frequency and the
// level).
#pragma once

#include <string>
#include <vector>

namespace orba {
class MediaDevice;
}

namespace orba::test {

constexpr int kCaptureRate = 44100;

struct StereoSound {
    std::vector<float> left, right;
    double ms() const { return left.size() * 1000.0 / kCaptureRate; }
};

// `ms` of a sine at `hz`, amplitude 0.3, in both channels or the left only.
StereoSound sine(double hz, int ms, bool leftOnly = false);
StereoSound mix(const StereoSound& a, const StereoSound& b);
// What a speaker that adds the two channels plays.
std::vector<float> channelSum(const StereoSound& s);

// Writes the sound as a WAV file, or encoded as the extension of `path`
// (.ogg, .mp3) says. False when GStreamer could not.
bool writeSound(const std::string& path, const StereoSound& sound);
// 16-bit stereo WAV, or the bare samples, as the capturing sink writes
// them; empty when unreadable.
StereoSound readWav(const std::string& path);

// ORBAKARAOKE_AUDIO_SINK for recording into `wavPath`: as fast as the music
// decodes, or in real time (the bare samples) when `realTime`.
std::string captureSink(const std::string& wavPath, bool realTime = false);

// The frequency between `lowHz` and `highHz` with the most energy in
// [fromMs, toMs) of the channel, to a tenth of a hertz.
double strongestHz(const std::vector<float>& channel, int fromMs, int toMs, double lowHz,
                   double highHz);
// The energy at one frequency in dB (full-scale sine: about -3).
double levelDb(const std::vector<float>& channel, int fromMs, int toMs, double hz);
// The longest run of near silence, in ms, within [fromMs, toMs).
double longestSilenceMs(const StereoSound& sound, int fromMs, int toMs);

// Opens, plays to the end within `timeoutMs` and closes, so the recording
// is complete. False when it did not end in time.
bool playThrough(MediaDevice& device, const std::string& music, int timeoutMs);

}  // namespace orba::test
