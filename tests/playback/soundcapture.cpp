#include "tests/playback/soundcapture.h"

#include <gst/gst.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <fstream>

#include "playback/mediadevice.h"
#include "tests/playback/mediafixtures.h"
#include "tests/support/tempdir.h"

namespace orba::test {

namespace {

void le(std::string& s, std::uint32_t v, int bytes) {
    for (int i = 0; i < bytes; ++i) s += char(v >> (8 * i));
}

std::uint32_t readLe(const std::string& s, std::size_t at, int bytes) {
    std::uint32_t v = 0;
    for (int i = bytes - 1; i >= 0; --i) v = v << 8 | static_cast<unsigned char>(s[at + i]);
    return v;
}

std::string wavBytes(const StereoSound& sound) {
    std::string data;
    for (std::size_t i = 0; i < sound.left.size(); ++i)
        for (float v : {sound.left[i], sound.right[i]})
            le(data, static_cast<std::uint16_t>(std::lround(std::clamp(v, -1.0f, 1.0f) * 32767)),
               2);
    std::string out = "RIFF";
    le(out, static_cast<std::uint32_t>(36 + data.size()), 4);
    out += "WAVEfmt ";
    le(out, 16, 4);
    le(out, 1, 2);  // PCM
    le(out, 2, 2);
    le(out, kCaptureRate, 4);
    le(out, kCaptureRate * 4, 4);
    le(out, 4, 2);
    le(out, 16, 2);
    out += "data";
    le(out, static_cast<std::uint32_t>(data.size()), 4);
    return out + data;
}

bool encode(const std::string& wav, const std::string& path, const char* encoder) {
    gst_init(nullptr, nullptr);
    std::string description = std::string("filesrc name=in ! wavparse ! audioconvert ! ") +
                              encoder + " ! filesink name=out";
    GstElement* pipeline = gst_parse_launch(description.c_str(), nullptr);
    if (!pipeline) return false;
    for (auto [name, file] : {std::pair{"in", &wav}, std::pair{"out", &path}}) {
        GstElement* e = gst_bin_get_by_name(GST_BIN(pipeline), name);
        g_object_set(e, "location", file->c_str(), nullptr);
        gst_object_unref(e);
    }
    bool ok = runToEnd(pipeline);
    gst_element_set_state(pipeline, GST_STATE_NULL);
    gst_object_unref(pipeline);
    return ok;
}

bool endsWith(const std::string& s, const std::string& end) {
    return s.size() >= end.size() && s.compare(s.size() - end.size(), end.size(), end) == 0;
}

// Goertzel: the power of one frequency over the samples.
double power(const std::vector<float>& x, std::size_t from, std::size_t to, double hz) {
    const double k = 2.0 * std::cos(2.0 * M_PI * hz / kCaptureRate);
    double s1 = 0, s2 = 0;
    for (std::size_t i = from; i < to; ++i) {
        const double s0 = x[i] + k * s1 - s2;
        s2 = s1;
        s1 = s0;
    }
    return s1 * s1 + s2 * s2 - k * s1 * s2;
}

std::pair<std::size_t, std::size_t> span(const std::vector<float>& x, int fromMs, int toMs) {
    auto at = [&](int ms) {
        return std::min(x.size(), static_cast<std::size_t>(std::max(ms, 0)) * kCaptureRate / 1000);
    };
    return {at(fromMs), at(toMs)};
}

}  // namespace

StereoSound sine(double hz, int ms, bool leftOnly) {
    StereoSound s;
    const std::size_t n = static_cast<std::size_t>(ms) * kCaptureRate / 1000;
    for (std::size_t i = 0; i < n; ++i) {
        const float v = static_cast<float>(0.3 * std::sin(2.0 * M_PI * hz * i / kCaptureRate));
        s.left.push_back(v);
        s.right.push_back(leftOnly ? 0.0f : v);
    }
    return s;
}

StereoSound mix(const StereoSound& a, const StereoSound& b) {
    StereoSound s = a;
    for (std::size_t i = 0; i < std::min(a.left.size(), b.left.size()); ++i) {
        s.left[i] += b.left[i];
        s.right[i] += b.right[i];
    }
    return s;
}

std::vector<float> channelSum(const StereoSound& s) {
    std::vector<float> sum(s.left.size());
    for (std::size_t i = 0; i < sum.size(); ++i) sum[i] = s.left[i] + s.right[i];
    return sum;
}

bool writeSound(const std::string& path, const StereoSound& sound) {
    if (endsWith(path, ".wav")) {
        writeFile(path, wavBytes(sound));
        return true;
    }
    const std::string wav = path + ".source.wav";
    writeFile(wav, wavBytes(sound));
    const char* encoder = endsWith(path, ".ogg")   ? "vorbisenc quality=0.8 ! oggmux"
                          : endsWith(path, ".mp3") ? "lamemp3enc bitrate=192 ! xingmux"
                                                   : nullptr;
    bool ok = encoder && encode(wav, path, encoder);
    std::remove(wav.c_str());
    return ok;
}

StereoSound readWav(const std::string& path) {
    const std::string bytes = readFile(path);
    StereoSound s;
    if (bytes.compare(0, 4, "RIFF") != 0) {
        for (std::size_t i = 0; i + 4 <= bytes.size(); i += 4) {
            s.left.push_back(static_cast<std::int16_t>(readLe(bytes, i, 2)) / 32768.0f);
            s.right.push_back(static_cast<std::int16_t>(readLe(bytes, i + 2, 2)) / 32768.0f);
        }
        return s;
    }
    std::size_t at = 12;
    while (at + 8 <= bytes.size()) {
        const std::string id = bytes.substr(at, 4);
        std::size_t size = readLe(bytes, at + 4, 4);
        at += 8;
        if (id == "data") {
            // A recording cut short has no length yet: the rest of the file.
            if (size == 0 || at + size > bytes.size()) size = bytes.size() - at;
            for (std::size_t i = at; i + 4 <= at + size; i += 4) {
                s.left.push_back(static_cast<std::int16_t>(readLe(bytes, i, 2)) / 32768.0f);
                s.right.push_back(static_cast<std::int16_t>(readLe(bytes, i + 2, 2)) / 32768.0f);
            }
            return s;
        }
        at += size + (size & 1);
    }
    return s;
}

// In real time the file holds the bare samples: a WAV writer hands the sink
// bytes, which it cannot keep in time with the clock.
std::string captureSink(const std::string& wavPath, bool realTime) {
    return std::string("audioconvert ! audioresample ! ") +
           "audio/x-raw,format=S16LE,rate=44100,channels=2 ! " +
           (realTime ? "filesink sync=true" : "wavenc ! filesink") + " location=\"" + wavPath +
           "\"";
}

double strongestHz(const std::vector<float>& channel, int fromMs, int toMs, double lowHz,
                   double highHz) {
    auto [from, to] = span(channel, fromMs, toMs);
    double best = lowHz, bestPower = -1;
    // A coarse scan, then a fine one around the winner.
    for (double step : {2.0, 0.1}) {
        const double lo = step == 2.0 ? lowHz : best - 2.0;
        const double hi = step == 2.0 ? highHz : best + 2.0;
        bestPower = -1;
        for (double hz = lo; hz <= hi; hz += step) {
            const double p = power(channel, from, to, hz);
            if (p > bestPower) {
                bestPower = p;
                best = hz;
            }
        }
    }
    return best;
}

double levelDb(const std::vector<float>& channel, int fromMs, int toMs, double hz) {
    auto [from, to] = span(channel, fromMs, toMs);
    if (to <= from) return -200;
    const double n = static_cast<double>(to - from);
    const double amplitude = 2.0 * std::sqrt(std::max(power(channel, from, to, hz), 0.0)) / n;
    return 20.0 * std::log10(std::max(amplitude, 1e-10));
}

double longestSilenceMs(const StereoSound& sound, int fromMs, int toMs) {
    auto [from, to] = span(sound.left, fromMs, toMs);
    std::size_t run = 0, longest = 0;
    for (std::size_t i = from; i < to; ++i) {
        const bool quiet = std::abs(sound.left[i]) < 0.01f && std::abs(sound.right[i]) < 0.01f;
        run = quiet ? run + 1 : 0;
        longest = std::max(longest, run);
    }
    return longest * 1000.0 / kCaptureRate;
}

bool playThrough(MediaDevice& device, const std::string& music, int timeoutMs) {
    device.open(music);
    device.play();
    const bool ended = waitForMode(device, kModeStopped, timeoutMs);
    device.close();
    return ended;
}

}  // namespace orba::test
