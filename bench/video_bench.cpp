// The cost of a frame drawn over a karaoke video: a 1080p30 H.264 song made
// here (GStreamer's test pattern, a moving ball and its clock), played
// through the media device into the silent sink, with LRC lyrics beside it,
// and its frames drawn at 1920 x 1080 every 15 ms as the window draws them,
// the pictures decoding on their worker meanwhile. The counters give the
// slowest frame and how many took longer than 15 ms, in time passed and in
// the CPU time of the frame's thread; the CPU the whole player takes is
// bench/player_cpu.sh's to measure.
#include <benchmark/benchmark.h>
#include <gst/gst.h>
#include <time.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <thread>

#include "bench/benchsupport.h"
#include "player/player.h"
#include "tests/support/tempdir.h"

namespace orba {
namespace {

// H.264 and AAC in MP4, 1920 x 1080 at 30 pictures a second.
bool writeFullHdSong(const std::string& path, int seconds) {
    gst_init(nullptr, nullptr);
    const std::string frames = std::to_string(seconds * 30);
    const std::string description =
        "videotestsrc pattern=ball motion=sweep background-color=0xff204080 num-buffers=" + frames +
        " ! video/x-raw,width=1920,height=1080,framerate=30/1 ! timeoverlay font-desc=\"Sans 48\" "
        "! videoconvert ! video/x-raw,format=I420 ! x264enc speed-preset=superfast bitrate=6000 "
        "key-int-max=60 ! queue ! mp4mux name=mux ! filesink location=\"" +
        path + "\" audiotestsrc wave=sine freq=440 volume=0.3 samplesperbuffer=1470 num-buffers=" +
        frames + " ! audio/x-raw,rate=44100,channels=2 ! audioconvert ! avenc_aac ! queue ! mux.";
    GError* error = nullptr;
    GstElement* pipeline = gst_parse_launch(description.c_str(), &error);
    if (error) g_error_free(error);
    if (!pipeline) return false;
    gst_element_set_state(pipeline, GST_STATE_PLAYING);
    GstBus* bus = gst_element_get_bus(pipeline);
    GstMessage* msg = gst_bus_timed_pop_filtered(
        bus, 300 * GST_SECOND, static_cast<GstMessageType>(GST_MESSAGE_EOS | GST_MESSAGE_ERROR));
    const bool ok = msg && GST_MESSAGE_TYPE(msg) == GST_MESSAGE_EOS;
    if (msg) gst_message_unref(msg);
    gst_object_unref(bus);
    gst_element_set_state(pipeline, GST_STATE_NULL);
    gst_object_unref(pipeline);
    return ok;
}

// The CPU time of this thread: a frame that took long on a shared machine
// because it waited for a core shows apart from one that worked long.
double threadCpuMs() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return t.tv_sec * 1000.0 + t.tv_nsec / 1e6;
}

void BM_VideoSongFrame(benchmark::State& state) {
    const int seconds = bench::smokeOr(20, 2);
    test::TempDir dir;
    const std::string song = dir.file("song.mp4");
    if (!writeFullHdSong(song, seconds)) {
        state.SkipWithError("GStreamer could not make the video");
        return;
    }
    test::writeFile(dir.file("song.lrc"),
                    "[00:00.50]きょうは いい てんき ですね\n[00:04.00]うたを うたいましょう\n"
                    "[00:08.00]みんなで いっしょに\n[00:12.00]おしまい\n");
    qputenv("ORBAKARAOKE_AUDIO_SINK", "fakesink sync=true");
    for (auto _ : state) {
        HeadlessHost host;
        Player player(host);
        if (!player.openMusicFile(song) || player.videoShown().empty()) {
            state.SkipWithError("the video song did not open with its pictures");
            return;
        }
        Bitmap back;
        using Clock = std::chrono::steady_clock;
        const Clock::time_point start = Clock::now();
        double worst = 0, total = 0, worstCpu = 0, totalCpu = 0;
        int frames = 0, slow = 0;
        while (Clock::now() - start < std::chrono::seconds(seconds - 1)) {
            const unsigned now =
                1000 + static_cast<unsigned>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                                 Clock::now() - start)
                                                 .count());
            const Clock::time_point before = Clock::now();
            const double cpuBefore = threadCpuMs();
            player.frame(back, 1920, 1080, now);
            const double cpu = threadCpuMs() - cpuBefore;
            const double ms =
                std::chrono::duration<double, std::milli>(Clock::now() - before).count();
            worstCpu = std::max(worstCpu, cpu);
            totalCpu += cpu;
            worst = std::max(worst, ms);
            total += ms;
            slow += ms > 15 ? 1 : 0;
            ++frames;
            std::this_thread::sleep_until(before + std::chrono::milliseconds(15));
        }
        state.counters["frames"] = frames;
        state.counters["mean_frame_ms"] = frames ? total / frames : 0;
        state.counters["slowest_frame_ms"] = worst;
        state.counters["frames_over_15ms"] = slow;
        state.counters["mean_frame_cpu_ms"] = frames ? totalCpu / frames : 0;
        state.counters["slowest_frame_cpu_ms"] = worstCpu;
        player.transport().close();
    }
}
BENCHMARK(BM_VideoSongFrame)->Unit(benchmark::kSecond)->Iterations(1);

}  // namespace
}  // namespace orba
