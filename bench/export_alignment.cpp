// How well picture and sound of an exported video keep to the song, at its
// first and its last lyric line:
// - picture: the decoded frames around the line's time are compared with the
//   player's own frames of the neighbouring frame times; the best match
//   should be the frame's own time (offset 0 frames);
// - sound: the exported sound is matched against the song's own decoded
//   sound; the lag of the best correlation is the sound's offset.
//
//   export_alignment VIDEO SONG [--fps N]   (VIDEO made by --export-video SONG)
#include <QGuiApplication>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "bench/benchsupport.h"
#include "lyrics/timevalue.h"
#include "tests/export/videofile.h"
#include "tools/headlessplayer.h"
#include "tools/simulationframesource.h"

namespace {

// The lag (ms) at which `exported` best matches `original` over [atMs, atMs + 400).
double soundLagMs(const std::vector<float>& original, const std::vector<float>& exported,
                  int atMs) {
    constexpr int kRate = 48000, kSpan = 400 * 48, kMaxLag = 60 * 48;
    const long first = static_cast<long>(atMs) * kRate / 1000;
    double best = -2;
    long bestLag = 0;
    for (long lag = -kMaxLag; lag <= kMaxLag; ++lag) {
        double xy = 0, xx = 0, yy = 0;
        for (long i = first; i < first + kSpan; ++i) {
            const long j = i + lag;
            if (i < 0 || j < 0 || 2 * i >= long(original.size()) || 2 * j >= long(exported.size()))
                continue;
            const double x = original[2 * i], y = exported[2 * j];
            xy += x * y;
            xx += x * x;
            yy += y * y;
        }
        const double r = xx > 0 && yy > 0 ? xy / std::sqrt(xx * yy) : -1;
        if (r > best) {
            best = r;
            bestLag = lag;
        }
    }
    return bestLag * 1000.0 / kRate;
}

// Both measures at both lines. A video and a song that do not go together
// end the program as a wrong argument would.
int measure(const char* program, const std::string& video, const std::string& songFile, int fps) {
    orba::HeadlessPlayer lyrics(false);
    lyrics.loadMusicFile(songFile);
    const std::vector<std::string>& times = lyrics.state().lineTimes;
    if (times.size() < 2) orba::bench::refuseArgument(program, "no lyric lines in " + songFile);
    // The last entry is the end line the load adds.
    const int lineTimes[2] = {orba::readTimeValue(times.front()),
                              orba::readTimeValue(times[times.size() - 2])};

    const std::vector<float> original = orba::test::decodeAudio(songFile);
    const std::vector<float> exported = orba::test::decodeAudio(video);
    orba::SimulationFrameSource reference(songFile);
    std::optional<orba::test::VideoFileInfo> info = orba::test::discoverVideo(video);
    if (!info) orba::bench::refuseArgument(program, "not a video: " + video);
    orba::Bitmap back(info->width, info->height);
    for (const char* which : {"first", "last"}) {
        const int t = lineTimes[which[0] == 'f' ? 0 : 1];
        const long long k0 = std::llround(t * double(fps) / 1000);
        // The player's frames of k0 - 2 .. k0 + 2, drawn in time order.
        std::vector<QImage> frames;
        for (long long k = k0 - 2; k <= k0 + 2; ++k) {
            reference.drawFrame(orba::frameSongMs(0, k, fps), back);
            frames.push_back(back.image().copy());
        }
        std::printf("%s line at %d ms (frame %lld):\n", which, t, k0);
        for (int d = -1; d <= 1; ++d) {
            const long long k = k0 + d;
            const int ms = orba::frameSongMs(0, k, fps);
            std::optional<QImage> decoded = orba::test::decodeFrameAt(video, ms + 500 / fps);
            if (!decoded)
                orba::bench::refuseArgument(
                    program, video + " has no frame at " + std::to_string(ms) + " ms");
            int best = 0;
            double bestPsnr = -1;
            std::printf("  video frame %lld vs player frames %lld..%lld: luma PSNR", k, k - 1,
                        k + 1);
            for (int e = -1; e <= 1; ++e) {
                const double p =
                    orba::test::lumaPsnr(*decoded, frames[static_cast<std::size_t>(d + e + 2)]);
                std::printf(" %.1f", p);
                if (p > bestPsnr) {
                    bestPsnr = p;
                    best = e;
                }
            }
            std::printf(" dB -> picture offset %+d frames\n", best);
        }
        std::printf("  sound offset %+.2f ms\n", soundLagMs(original, exported, t));
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    using orba::bench::refuseArgument;
    const char* const usage = "usage: export_alignment VIDEO SONG [--fps N]";
    std::vector<std::string> files;
    int fps = 30;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--fps") {
            std::int64_t n = 0;
            if (i + 1 == argc || !orba::bench::parseInt(argv[++i], 1, 240, n))
                refuseArgument(argv[0], "--fps wants 1 to 240");
            fps = static_cast<int>(n);
        } else if (a.starts_with("-") || files.size() == 2) {
            refuseArgument(argv[0], "unknown argument " + a + "; " + usage);
        } else {
            files.push_back(a);
        }
    }
    if (files.size() < 2) refuseArgument(argv[0], usage);
    const std::string video = files[0], songFile = files[1];
    for (const std::string& f : files)
        if (!std::filesystem::is_regular_file(f)) refuseArgument(argv[0], "no such file: " + f);

    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    try {
        return measure(argv[0], video, songFile, fps);
    } catch (const orba::ToolInputError& e) {
        refuseArgument(argv[0], e.what());
    }
}
