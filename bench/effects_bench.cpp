// The picture phases of the heaviest frame: laser scene, pictures cross-
// fading in style 5 at 50 % opacity with dark transparency, digital noise in
// colour, the sixteen mascots, snow and a greeting; and the frame on which a
// new twelve-megapixel JPEG is decoded.
#include <benchmark/benchmark.h>

#include <QImage>
#include <QPainter>
#include <algorithm>
#include <chrono>
#include <cmath>
#include <ctime>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "bench/benchsupport.h"
#include "demo/pictures/jpegwriter.h"
#include "effects/framepictures.h"
#include "effects/imagelist.h"
#include "lyrics/frame.h"
#include "platform/jpegpicture.h"
#include "platform/sjis.h"
#include "player/frameviews.h"
#include "player/player.h"
#include "platform/files.h"
#include "resources/artwork.h"
#include "tests/support/framedriver.h"
#include "tests/support/pictures.h"

namespace orba {
namespace {

// Two photo-like 4000 x 3000 pictures: smooth gradients with fine texture,
// which decode at the cost of a camera's picture.
const std::string& pictureFolder() {
    static const std::string folder = [] {
        const std::string dir =
            (std::filesystem::temp_directory_path() / "orba-effects-bench").string();
        std::filesystem::create_directories(dir);
        for (int n = 0; n < 2; ++n) {
            const std::string path = dir + "/photo" + std::to_string(n) + ".jpg";
            if (std::filesystem::exists(path)) continue;
            QImage img(4000, 3000, QImage::Format_RGB32);
            unsigned seed = 7 + n;
            for (int y = 0; y < img.height(); ++y) {
                auto* row = reinterpret_cast<QRgb*>(img.scanLine(y));
                for (int x = 0; x < img.width(); ++x) {
                    seed = seed * 1103515245u + 12345u;
                    const int grain = static_cast<int>((seed >> 16) & 15);
                    const int wave = static_cast<int>(40 * std::sin(x * 0.01 + y * 0.013 + n));
                    row[x] = qRgb(std::clamp(x * 255 / 4000 + grain + wave, 0, 255),
                                  std::clamp(y * 255 / 3000 + grain, 0, 255),
                                  std::clamp(128 + wave + grain, 0, 255));
                }
            }
            writeJpeg(path, img, {.quality = 90});
        }
        return dir;
    }();
    return folder;
}

Settings heaviest() {
    Settings s = test::heaviestPictureSettings();
    s.slideTime = 2000;
    return s;
}

struct Scene {
    explicit Scene(int w, int h) : back(w, h) {
        state.imageFiles = loadImageList(pictureFolder());
        state.seasonMode = kSeasonChristmas;
        state.orbaObject = true;
    }
    void frame(const Settings& s, int dt) {
        pictures.draw(back, frameValuesFor(back.width(), back.height(), dt, first), s,
                      pictureViewOf(state), mascot);
        first = false;
    }
    Bitmap back;
    PlayerState state;
    FramePictures pictures;
    const Bitmap mascot = mascotPicture();
    bool first = true;
};

// 900 frames a case; a few in the smoke run.
const int kFrames = bench::smokeOr(900, 3);

// The three window sizes of the frame targets.
void windowSizes(benchmark::internal::Benchmark* b) {
    b->ArgNames({"w", "h"})
        ->Args({800, 600})
        ->Args({1920, 1080})
        ->Args({3840, 2160})
        ->Iterations(kFrames)
        ->Unit(benchmark::kMillisecond);
}

void BM_HeaviestPictureFrame(benchmark::State& bench) {
    Scene scene(static_cast<int>(bench.range(0)), static_cast<int>(bench.range(1)));
    Settings s = heaviest();
    // Until the second picture has come: from then on two pictures fade.
    while (scene.pictures.images().pictureB().empty()) scene.frame(s, 15);
    // 1 ms frames keep the cross-fade going for the 1000 timed frames.
    s.slideTime = 1000000;
    for (auto _ : bench) scene.frame(s, 1);
    bench.counters["fading"] = scene.pictures.images().slideTimer() < 1000;
}
BENCHMARK(BM_HeaviestPictureFrame)->Apply(windowSizes);

// The whole heaviest frame: the picture phases above under a karaoke line
// half wiped, the next and previous lines, the debug overlay and a status
// message, copied into a window-sized image, or drawn in place in it as the
// window does where it can.
struct HeaviestFrame {
    explicit HeaviestFrame(int w, int h, bool drawnInPlace = false)
        : scene(w, h), window(w, h, QImage::Format_RGB32), inPlace(drawnInPlace) {
        if (inPlace)
            scene.back.image() =
                QImage(window.bits(), w, h, window.bytesPerLine(), QImage::Format_RGB32);
        s = heaviest();
        s.useMessage = true;
        s.useBgm = true;
        st = scene.state;
        st.debugMode = true;
        st.lyricLines = {utf8ToSjis("[00:01:00]きょうは[00:02:00]いい[00:03:00]てんき"),
                         utf8ToSjis("[00:06:00]うたを　うたいましょう"), ""};
        st.lineTimes = {"[00:01:00]", "[00:06:00]", "[00:09:00]"};
        st.tagType = 3;
        st.songLength = 100000;
        st.statusMessage = "PLAYING";
        driver.music = MusicReading{2500, 2};
        driver.drawPictures = [this](Bitmap& back, const FrameValues& f, const PlayerState& now) {
            scene.pictures.draw(back, f, s, pictureViewOf(now), scene.mascot);
        };
    }
    void frame(int dt) {
        now += static_cast<unsigned>(dt);
        st.statusTime = 5000;
        // The player's order: pictures, clocks, timeline, lyrics.
        driver.tick(scene.back, window.width(), window.height(), now, s, st);
        if (inPlace) return;
        QPainter p(&window);
        p.drawImage(0, 0, scene.back.image());
    }
    Scene scene;
    QImage window;
    bool inPlace;
    Settings s;
    PlayerState st;
    test::FrameDriver driver;
    unsigned now = 1000;
};

void BM_HeaviestWholeFrame(benchmark::State& bench) {
    HeaviestFrame f(static_cast<int>(bench.range(0)), static_cast<int>(bench.range(1)),
                    bench.range(2) != 0);
    f.frame(15);
    while (f.scene.pictures.images().pictureB().empty()) f.frame(15);
    f.s.slideTime = 1000000;
    for (auto _ : bench) f.frame(1);
    bench.counters["fading"] = f.scene.pictures.images().slideTimer() < 1000;
}
BENCHMARK(BM_HeaviestWholeFrame)
    ->ArgNames({"w", "h", "in_place"})
    ->Args({800, 600, 0})
    ->Args({800, 600, 1})
    ->Args({1920, 1080, 0})
    ->Args({1920, 1080, 1})
    ->Args({3840, 2160, 0})
    ->Args({3840, 2160, 1})
    ->Iterations(kFrames)
    ->Unit(benchmark::kMillisecond);

void BM_FrameDecodingA12MegapixelPicture(benchmark::State& bench) {
    Scene scene(1920, 1080);
    const Settings s = heaviest();
    scene.frame(s, 15);
    for (auto _ : bench) {
        scene.pictures.songLoaded();  // the next frame loads a picture
        scene.frame(s, 15);
    }
}
BENCHMARK(BM_FrameDecodingA12MegapixelPicture)->Unit(benchmark::kMillisecond);

// 30 s of the heaviest whole frame at 1920 x 1080 in real time, the pictures
// changing every 2 s, with the slideshow decoding on the spot (0) or ahead on
// its worker (1). Each frame waits out its 15 ms as the window's timer would,
// so that the worker gets the time it gets in the player. Reported: the
// longest frame and the 99th percentile, in CPU time of the frame's thread,
// and the longest in wall time. The smoke run plays a second, the pictures
// changing every 300 ms.
void BM_SlideshowFramesIn30Seconds(benchmark::State& bench) {
    const int frames = orba::bench::smokeOr(2000, 60);
    auto threadCpuMs = [] {
        timespec ts{};
        clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
        return static_cast<double>(ts.tv_sec) * 1e3 + static_cast<double>(ts.tv_nsec) / 1e6;
    };
    for (auto _ : bench) {
        HeaviestFrame f(1920, 1080);
        f.s.slideTime = orba::bench::smokeOr(2000, 300);
        f.scene.pictures.setDecodeAhead(bench.range(0) != 0);
        std::vector<double> cpu, wall;
        for (int n = 0; n < frames; ++n) {
            const auto start = std::chrono::steady_clock::now();
            const double cpuStart = threadCpuMs();
            f.frame(15);
            cpu.push_back(threadCpuMs() - cpuStart);
            wall.push_back(
                std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                    .count());
            std::this_thread::sleep_until(start + std::chrono::milliseconds(15));
        }
        std::sort(cpu.begin(), cpu.end());
        bench.counters["cpu_max_ms"] = cpu.back();
        bench.counters["cpu_p99_ms"] = cpu[cpu.size() * 99 / 100];
        bench.counters["wall_max_ms"] = *std::max_element(wall.begin(), wall.end());
        bench.counters["index"] = f.scene.pictures.images().imageIndex();
    }
}
BENCHMARK(BM_SlideshowFramesIn30Seconds)
    ->ArgName("ahead")
    ->Arg(0)
    ->Arg(1)
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

// A song with 12-megapixel pictures loaded by the player as the window loads
// it (pictures decoded ahead) and its frames from the first one on, at
// 1920 x 1080, every 15 ms of wall time: the CPU time of the frame's thread
// for the first two frames and the longest of two seconds of frames, and the
// frame the first picture shows on.
void BM_FirstFramesOfASongWithPictures(benchmark::State& bench) {
    const int frames = bench::smokeOr(130, 10);
    auto threadCpuMs = [] {
        timespec ts{};
        clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
        return static_cast<double>(ts.tv_sec) * 1e3 + static_cast<double>(ts.tv_nsec) / 1e6;
    };
    const std::string folder = programFolder();
    std::vector<double> first, second, longest;
    int pictureFrame = -1;
    for (auto _ : bench) {
        HeadlessHost host;
        Player player(host);
        player.setPicturesDecodedAhead(true);
        Settings& s = player.settings();
        s.useBgm = true;
        s.bgmFile = folder + "../app/demo.mp3";
        s.useMessage = true;
        s.messageFile = folder + "../app/demo_t.txt";
        s.useImages = true;
        s.imageFolder = pictureFolder() + "/";
        Bitmap back(1920, 1080);
        player.frame(back, 1920, 1080, 1000);  // the window's size is known before the load
        player.loadSong();
        std::vector<double> cpu;
        const auto start = std::chrono::steady_clock::now();
        for (int n = 0; n < frames; ++n) {
            const auto due = start + std::chrono::milliseconds(15 * n);
            std::this_thread::sleep_until(due);
            const double cpuStart = threadCpuMs();
            player.frame(back, 1920, 1080, 2000 + 15 * static_cast<unsigned>(n));
            cpu.push_back(threadCpuMs() - cpuStart);
            if (pictureFrame < 0 && !player.pictures().images().pictureA().empty())
                pictureFrame = n;
        }
        first.push_back(cpu[0]);
        second.push_back(cpu[1]);
        longest.push_back(*std::max_element(cpu.begin(), cpu.end()));
        bench.PauseTiming();
        player.transport().close();
        bench.ResumeTiming();
    }
    bench.counters["first_ms"] = *std::max_element(first.begin(), first.end());
    bench.counters["second_ms"] = *std::max_element(second.begin(), second.end());
    bench.counters["max_ms"] = *std::max_element(longest.begin(), longest.end());
    // The frame the first picture came with (-1: none in the first run).
    bench.counters["picture_frame"] = pictureFrame;
}
BENCHMARK(BM_FirstFramesOfASongWithPictures)->Iterations(3)->Unit(benchmark::kMillisecond);

// The decoding alone, at the scale a 1920 x 1080 client chooses (1/2).
void BM_Decode12MegapixelAtHalfScale(benchmark::State& bench) {
    const std::string file = loadImageList(pictureFolder()).front();
    Bitmap out;
    for (auto _ : bench) {
        JpegPicture jpeg;
        jpeg.loadFromFile(file);
        jpeg.setScale(2);
        jpeg.decode(out);
    }
}
BENCHMARK(BM_Decode12MegapixelAtHalfScale)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace orba
