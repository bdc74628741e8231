// What the singer's controls cost while a song plays, and how soon a change
// is heard.
//
// CPU: each song plays as fast as it decodes into a silent sink, so the
// process's CPU time over the song's length is the share of one core that
// real-time playback takes; a control's extra is its difference from the
// song played neutral.
//
// Latency: the song plays in real time into a recording; the control changes
// at a known song position, and the recording shows when the change is
// first there (a tone's level in 10 ms steps).
//
// usage: singer_bench [cpu|latency]   (both when not named)
#include <time.h>

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>

#include "bench/benchsupport.h"
#include "playback/mediadevice.h"
#include "tests/playback/mediafixtures.h"
#include "tests/playback/soundcapture.h"
#include "tests/support/midiwriter.h"
#include "tests/support/tempdir.h"

namespace {

using namespace orba;
using namespace orba::test;

// The smoke run plays short songs, each once.
const int kCpuSongMs = orba::bench::smokeOr(30000, 2000);
const int kRounds = orba::bench::smokeOr(3, 1);
const int kToneMs = orba::bench::smokeOr(3000, 1500);
constexpr double kA4 = 440.0;
constexpr double kB4 = 493.883;
constexpr double kE5 = 659.255;

double cpuSeconds() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return t.tv_sec + t.tv_nsec / 1e9;
}

// Percent of one core while `music` plays with the device set by `set`, for
// `playedMs` of real time.
double cpuPercent(const std::string& music, double playedMs,
                  const std::function<void(MediaDevice&)>& set) {
    ::setenv("ORBAKARAOKE_AUDIO_SINK", "fakesink sync=false", 1);
    double best = 1e9;
    for (int round = 0; round < kRounds; ++round) {  // the least disturbed of three
        MediaDevice device;
        set(device);
        const double start = cpuSeconds();
        playThrough(device, music, 60000);
        best = std::min(best, (cpuSeconds() - start) * 100000.0 / playedMs);
    }
    return best;
}

std::string midiSong(TempDir& dir, int ms) {
    // A melody on channel 1 over chords on three more, and drums on 10.
    MidiWriter w(480, 2);
    const std::uint32_t ticks = static_cast<std::uint32_t>(ms) * 960 / 1000;
    w.program(1, 0, 0, 73).program(1, 0, 1, 0).program(1, 0, 2, 48).program(1, 0, 3, 32);
    for (std::uint32_t t = 0; t + 480 <= ticks; t += 480) {
        w.note(1, t, 400, 69 + int(t / 480 % 5), 0);
        for (int ch = 1; ch < 4; ++ch) w.note(1, t, 460, 48 + ch * 4, ch);
        w.note(1, t, 100, 36, 9).note(1, t + 240, 100, 42, 9);
    }
    w.endAt(0, ticks).endAt(1, ticks);
    std::string path = dir.file("song.mid");
    writeFile(path, w.bytes());
    return path;
}

void cpuReport(TempDir& dir) {
    std::string wav = dir.file("song.wav");
    writeSound(wav, mix(sine(kA4, kCpuSongMs), sine(kE5, kCpuSongMs, true)));
    std::string mid = midiSong(dir, kCpuSongMs);
    struct Control {
        const char* name;
        std::function<void(MediaDevice&)> set;
        int tempo = 100;  // the song then lasts longer or shorter
    };
    const Control controls[] = {
        {"neutral", [](MediaDevice&) {}},
        {"key +2", [](MediaDevice& d) { d.setKey(2); }},
        {"key -6", [](MediaDevice& d) { d.setKey(-6); }},
        {"tempo 80%", [](MediaDevice& d) { d.setTempo(80); }, 80},
        {"tempo 150%", [](MediaDevice& d) { d.setTempo(150); }, 150},
        {"vocal cut", [](MediaDevice& d) { d.setVocalCut(true); }},
        {"melody mute 1", [](MediaDevice& d) { d.setMelodyMute(1); }},
    };
    for (auto [label, music] : {std::pair{"WAV", wav}, std::pair{"MIDI", mid}}) {
        double neutral = 0;
        for (const Control& c : controls) {
            double cpu = cpuPercent(music, kCpuSongMs * 100.0 / c.tempo, c.set);
            if (std::string(c.name) == "neutral") neutral = cpu;
            std::printf("cpu %-5s %-14s %6.2f %% of a core  (extra %+6.2f)\n", label, c.name, cpu,
                        cpu - neutral);
        }
    }
}

bool waitForPosition(MediaDevice& device, int ms) {
    auto start = std::chrono::steady_clock::now();
    while (device.position() < ms)
        if (msSince(start) > 10000)
            return false;
        else
            sleepMs(2);
    return true;
}

// The first 10 ms step from `fromMs` on where `changed` holds for three steps
// running, in song ms; -1 when never.
int firstChange(const StereoSound& s, int fromMs, const std::function<bool(int)>& changed) {
    for (int t = fromMs; t + 30 < static_cast<int>(s.ms()); t += 10)
        if (changed(t) && changed(t + 10) && changed(t + 20)) return t;
    return -1;
}

void latencyReport(TempDir& dir) {
    std::string wav = dir.file("tone.wav");
    writeSound(wav, mix(sine(kA4, kToneMs), sine(kE5, kToneMs, true)));
    MidiWriter w(480, 1);
    const std::uint32_t ticks = static_cast<std::uint32_t>(kToneMs) * 960 / 1000;  // 120 bpm
    w.program(0, 0, 0, 73).note(0, 0, ticks, 69, 0).program(0, 0, 1, 73).note(0, 0, ticks, 76, 1);
    w.endAt(0, ticks);
    std::string mid = dir.file("tone.mid");
    writeFile(mid, w.bytes());
    std::string recording = dir.file("heard.raw");

    auto keyHeard = [](const StereoSound& s) {
        return [&s](int t) {
            return levelDb(s.left, t, t + 30, kB4) > levelDb(s.left, t, t + 30, kA4);
        };
    };
    auto a4Gone = [](const StereoSound& s) {
        return [&s](int t) { return levelDb(s.right, t, t + 30, kA4) < -30; };
    };
    struct Case {
        const char* name;
        const std::string& music;
        std::function<void(MediaDevice&)> change;
        std::function<std::function<bool(int)>(const StereoSound&)> heard;
    };
    const Case cases[] = {
        {"WAV key +2", wav, [](MediaDevice& d) { d.setKey(2); }, keyHeard},
        {"WAV vocal cut", wav, [](MediaDevice& d) { d.setVocalCut(true); }, a4Gone},
        {"MIDI key +2", mid, [](MediaDevice& d) { d.setKey(2); }, keyHeard},
        {"MIDI melody mute", mid, [](MediaDevice& d) { d.setMelodyMute(1); }, a4Gone},
    };
    for (const Case& c : cases) {
        for (int round = 0; round < kRounds; ++round) {
            ::setenv("ORBAKARAOKE_AUDIO_SINK", captureSink(recording, true).c_str(), 1);
            MediaDevice device;
            device.open(c.music);
            device.play();
            waitForPosition(device, 1000 + round * 137);
            const int at = device.position();
            c.change(device);
            waitForMode(device, kModeStopped, 10000);
            device.close();
            StereoSound s = readWav(recording);
            int heardAt = firstChange(s, at - 200, c.heard(s));
            std::printf("latency %-17s call at %5d ms, heard at %5d ms: %4d ms\n", c.name, at,
                        heardAt, heardAt < 0 ? -1 : heardAt - at);
        }
    }
}

}  // namespace

int main(int argc, char** argv) {
    const std::string only = argc > 1 ? argv[1] : "";
    if (argc > 2 || (argc == 2 && only != "cpu" && only != "latency"))
        orba::bench::refuseArgument(argv[0], "unknown argument " + std::string(argv[argc - 1]) +
                                                 "; usage: singer_bench [cpu|latency]");
    TempDir dir;
    if (only.empty() || only == "cpu") cpuReport(dir);
    if (only.empty() || only == "latency") latencyReport(dir);
    return 0;
}
