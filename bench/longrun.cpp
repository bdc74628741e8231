// A long evening of folder play without sound: five songs of the demo's
// lyrics and pictures played one after another over the simulated transport
// for hours of song time, every 15 ms frame drawn at 800 x 600. At every
// simulated hour (and at the end) it prints the resident memory and the open
// files, and at the end its own run time: memory that grows from hour to
// hour, or a file left open per song, shows here.
//
// usage: longrun [HOURS] (default 8; a fraction such as 0.1 plays minutes)
#include <QGuiApplication>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <string>

#include "bench/benchsupport.h"
#include "platform/files.h"
#include "playback/simulatedtransport.h"
#include "player/player.h"
#include "tests/support/tempdir.h"

namespace fs = std::filesystem;

namespace {

long residentKb() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmRSS:", 0) == 0) return std::atol(line.c_str() + 6);
    return -1;
}

long openFiles() {
    long n = 0;
    for ([[maybe_unused]] const auto& e : fs::directory_iterator("/proc/self/fd")) ++n;
    return n;
}

double cpuSeconds() {
    return static_cast<double>(std::clock()) / CLOCKS_PER_SEC;
}

}  // namespace

int main(int argc, char** argv) {
    double hours = 8;
    if (argc > 2) orba::bench::refuseArgument(argv[0], "usage: longrun [HOURS]");
    if (argc == 2) {
        char* end = nullptr;
        hours = std::strtod(argv[1], &end);
        if (end == argv[1] || *end || !(hours >= 0 && hours <= 10000))
            orba::bench::refuseArgument(argv[0], std::string("not a number of hours: ") + argv[1]);
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("ORBAKARAOKE_MIXER", "none");
    QGuiApplication app(argc, argv);

    // Five songs of three to four minutes, each with the demo's lyrics, and
    // the demo's pictures beside them; a settings file of the run's own.
    orba::test::TempDir dir;
    const fs::path demo = fs::path(orba::programFolder()) / "../app";
    fs::create_directory(dir.file("okaraimg"));
    for (const auto& e : fs::directory_iterator(demo / "okaraimg"))
        fs::copy_file(e.path(), fs::path(dir.file("okaraimg")) / e.path().filename());
    for (int i = 0; i < 5; ++i) {
        const std::string name = "song" + std::to_string(i);
        orba::test::writeFile(dir.file(name + ".mp3"), "x");
        fs::copy_file(demo / "demo_t.txt", dir.file(name + "_t.txt"));
    }
    const std::string ini = dir.file("ORBAKARAOKE.ini");
    orba::test::writeFile(ini,
                          "[Option]\nUseGaz=1\nGazStyle=5\nFolderRepeat=1\n[Effect]\n"
                          "iBackT=4\niNoiseT=1\n");
    ::setenv("ORBAKARAOKE_INI", ini.c_str(), 1);

    orba::HeadlessHost host;
    auto transport = std::make_unique<orba::SimulatedTransport>([](const std::string& name) {
        return std::optional<int>(180000 + static_cast<int>(name.size() % 7) * 10000);
    });
    orba::SimulatedTransport& music = *transport;
    orba::Player player(host, std::move(transport));
    player.loadSettings();
    player.settings().folderRepeat = true;
    if (!player.openMusicFile(dir.file("song0.mp3"))) {
        std::fprintf(stderr, "longrun: cannot open the first song\n");
        return 2;
    }
    player.settings().folderRepeat = true;

    orba::Bitmap back;
    const auto start = std::chrono::steady_clock::now();
    const double cpuStart = cpuSeconds();
    constexpr long long kFramesPerHour = 3600000 / 15;
    const long long frames = std::llround(hours * kFramesPerHour);
    unsigned now = 1000;
    int songs = 1;
    std::string current = player.settings().bgmFile;
    std::printf("  hour  rss_kb  open_files  songs  cpu_s\n");
    for (long long k = 0;; ++k) {
        if (k % kFramesPerHour == 0 || k == frames) {
            std::printf("%6.2f  %6ld  %10ld  %5d  %5.0f\n", double(k) / kFramesPerHour,
                        residentKb(), openFiles(), songs, cpuSeconds() - cpuStart);
            std::fflush(stdout);
        }
        if (k == frames) break;
        music.advance(15);
        now += 15;
        player.frame(back, 800, 600, now);
        player.afterFrame();
        if (player.settings().bgmFile != current) {
            current = player.settings().bgmFile;
            ++songs;
            player.settings().folderRepeat = true;
        }
    }
    const double wall =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("run time %.0f s wall, %.0f s CPU, for %g h of song time\n", wall,
                cpuSeconds() - cpuStart, hours);
    return 0;
}
