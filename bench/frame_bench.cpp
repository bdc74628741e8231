// The cost of whole frames and of getting a song on screen: the lyric frame
// at three window sizes (black background, a karaoke line half wiped, the
// next line, the blue mesh, a two-line status message, and either the copy
// into a window-sized image or, as the window does where it can, the frame
// drawn in place in the window's image below a menu bar), a song load up to its first drawn frame,
// and how far the frame clock of a MIDI song drifts from the device over a minute.
#include <benchmark/benchmark.h>

#include <QImage>
#include <QPainter>
#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <thread>

#include "bench/benchsupport.h"
#include "lyrics/frame.h"
#include "platform/files.h"
#include "platform/sjis.h"
#include "playback/mediadevice.h"
#include "player/player.h"
#include "tests/support/framedriver.h"
#include "tests/support/midiwriter.h"
#include "tests/support/tempdir.h"

namespace orba {
namespace {

void BM_LyricFrame(benchmark::State& state) {
    const int cw = static_cast<int>(state.range(0)), ch = static_cast<int>(state.range(1));
    Settings s;
    s.useMessage = true;
    s.useBgm = true;
    s.textBack = 3;
    PlayerState st;
    st.lyricLines = {utf8ToSjis("[00:01:00]きょうは[00:02:00]いい[00:03:00]てんき[00:04:00]ですね"),
                     utf8ToSjis("[00:06:00]うたを　うたいましょう"), ""};
    st.lineTimes = {"[00:01:00]", "[00:06:00]", "[00:09:00]"};
    st.tagType = 3;
    st.songLength = 100000;
    st.statusMessage = "PLAYING|Volume : 50";
    test::FrameDriver driver;
    driver.music.position = 2500;  // halfway through the second segment
    Bitmap back;
    const bool inPlace = state.range(2) != 0;
    constexpr int kMenuBar = 24;
    QImage window(cw, ch + kMenuBar, QImage::Format_RGB32);
    if (inPlace)
        back.image() = QImage(window.bits() + kMenuBar * window.bytesPerLine(), cw, ch,
                              window.bytesPerLine(), QImage::Format_RGB32);
    unsigned now = 1000;
    driver.tick(back, cw, ch, now, s, st);
    for (auto _ : state) {
        now += 15;
        st.statusTime = 5000;
        driver.tick(back, cw, ch, now, s, st);
        if (inPlace) continue;
        QPainter p(&window);
        p.drawImage(0, kMenuBar, back.image());
    }
}
BENCHMARK(BM_LyricFrame)
    ->ArgNames({"w", "h", "in_place"})
    ->Args({800, 600, 0})
    ->Args({800, 600, 1})
    ->Args({1920, 1080, 0})
    ->Args({1920, 1080, 1})
    ->Args({3840, 2160, 0})
    ->Args({3840, 2160, 1})
    ->Unit(benchmark::kMillisecond);

// The demo song from the settings the dialog would write, to its first frame.
void BM_DemoSongToFirstFrame(benchmark::State& state) {
    const std::string folder = programFolder();
    for (auto _ : state) {
        HeadlessHost host;
        Player player(host);
        player.settings().useBgm = true;
        player.settings().bgmFile = folder + "../app/demo.mp3";
        player.settings().useMessage = true;
        player.settings().messageFile = folder + "../app/demo_t.txt";
        Bitmap back;
        player.loadSong();
        unsigned now = 1000;
        player.frame(back, 800, 600, now);
        if (!player.frame(back, 800, 600, now + 15).drawn) state.SkipWithError("no frame drawn");
        state.PauseTiming();
        player.transport().close();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_DemoSongToFirstFrame)->Unit(benchmark::kMillisecond)->Iterations(5);

// A minute of MIDI through the fake sink (two seconds of it in the smoke
// run): the frame clock counts frame time while the device plays, the device
// reports its own position.
void BM_MidiClockDrift(benchmark::State& state) {
    const auto played = std::chrono::seconds(bench::smokeOr(60, 2));
    test::TempDir dir;
    test::MidiWriter midi(480);
    midi.tempo(0, 0, 500000);
    for (int beat = 0; beat < 120; ++beat) midi.note(0, beat * 480u, 240, 60 + beat % 12);
    midi.endAt(0, 120 * 480);
    const std::string path = dir.file("minute.mid");
    test::writeFile(path, midi.bytes());
    for (auto _ : state) {
        HeadlessHost host;
        Player player(host);
        player.settings().useBgm = true;
        player.settings().bgmFile = path;
        player.loadSong();
        Bitmap back;
        const auto start = std::chrono::steady_clock::now();
        int worst = 0;
        unsigned now = 1000;
        player.frame(back, 160, 120, now);
        while (std::chrono::steady_clock::now() - start < played) {
            std::this_thread::sleep_for(std::chrono::milliseconds(15));
            now = static_cast<unsigned>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                            std::chrono::steady_clock::now() - start)
                                            .count()) +
                  1000;
            player.frame(back, 160, 120, now);
            if (player.transport().mode() != kModePlaying) break;
            worst =
                std::max(worst, std::abs(player.state().songTime - player.transport().position()));
        }
        state.counters["largest_gap_ms"] = worst;
    }
}
BENCHMARK(BM_MidiClockDrift)->Unit(benchmark::kSecond)->Iterations(1);

}  // namespace
}  // namespace orba
