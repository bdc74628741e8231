#include "tools/timelinetool.h"

#include <algorithm>
#include <cstdio>

#include "platform/guardedcommand.h"
#include "platform/json.h"
#include "platform/sjis.h"
#include "platform/textencoding.h"
#include "player/songresolution.h"
#include "tools/headlessplayer.h"
#include "tools/toolargs.h"

namespace orba {

namespace {

constexpr const char* kUsage =
    "usage: orbakaraoke --timeline FILE|MUSICFILE --at MS[,MS...] [--song-length MS]";

std::string frameJson(int at, const HeadlessPlayer& sim, const LyricFrame& lf, bool clockRan) {
    const PlayerState& st = sim.state();
    JsonObject j;
    j.add("at", at).add("frame", sim.frame()).add("songTime", st.songTime);
    if (clockRan)
        j.add("lyricTime", lf.lyricTime);
    else
        j.addNull("lyricTime");
    j.add("songLength", st.songLength)
        .add("currentLine", st.currentLine)
        .add("lineStart", lf.timeline.lineStart)
        .add("lineEnd", lf.timeline.lineEnd)
        .add("lineDuration", lf.timeline.lineDuration)
        .add("lineShift", lf.drawn ? lf.line.motion.lineShift : 0.0)
        .add("drawn", lf.drawn);
    if (!lf.drawn) {
        for (const char* key :
             {"transitionTime", "lineOpacity", "lineProgress", "karaokeOn", "segmentProgress",
              "currentText", "sungText", "doneText", "restText"})
            j.addNull(key);
        return j.str();
    }
    const CurrentLineValues& v = lf.line;
    const LineCaches& c = sim.player().frameLoop().caches();
    j.add("transitionTime", v.motion.transitionTime)
        .add("lineOpacity", v.motion.lineOpacity)
        .add("lineProgress", v.motion.lineProgress)
        .add("karaokeOn", v.karaokeOn)
        .add("segmentProgress", v.karaoke.segmentProgress)
        .add("currentText", lyricTextToUtf8(c.currentText, st.lyricForm.encoding))
        .add("sungText", lyricTextToUtf8(v.karaoke.sungText, st.lyricForm.encoding))
        .add("doneText", lyricTextToUtf8(v.karaoke.doneText, st.lyricForm.encoding))
        .add("restText", lyricTextToUtf8(v.karaoke.restText, st.lyricForm.encoding));
    return j.str();
}

int timeline(const std::vector<std::string>& args) {
    ToolArgs a;
    if (std::string e = parseToolArgs(args, {{"--at", true}, {"--song-length", true}}, a);
        !e.empty())
        return toolError(e + "\n" + kUsage);
    if (!a.values.count("--at")) return toolError(std::string("--at is missing\n") + kUsage);
    const std::optional<std::vector<int>> at = parseMillisecondList(a.values["--at"]);
    if (!at) return toolError("--at: '" + a.values["--at"] + "' is not a list of milliseconds");
    for (int ms : *at)
        if (std::string late = simulatedMomentError("--at", ms); !late.empty())
            return toolError(late);
    std::string error;
    const std::optional<int> songLength = millisecondOption(a, "--song-length", error);
    if (!error.empty()) return toolError(error);

    Settings file = settingsFromFile();
    Settings s;
    s.textTiming = file.textTiming;
    s.timeForce = file.timeForce;
    s.noKaraoke = file.noKaraoke;
    const bool music = opensAsSong(a.file);
    HeadlessPlayer sim(!music);
    if (music)
        sim.loadMusicFile(a.file);
    else
        sim.loadLyricFile(a.file, songLength, s);

    // One pass over the frames up to the latest time asked for; times after
    // the end of the song stay empty.
    std::vector<int> frames;
    for (int ms : *at) frames.push_back(ms / kSimulatedFrameMs);
    const int last = *std::max_element(frames.begin(), frames.end());
    std::vector<std::size_t> order(frames.size());
    for (std::size_t i = 0; i < order.size(); ++i) order[i] = i;
    std::stable_sort(order.begin(), order.end(),
                     [&](std::size_t x, std::size_t y) { return frames[x] < frames[y]; });
    std::vector<std::string> results(at->size());
    std::size_t next = 0;
    for (int k = 0; k <= last; ++k) {
        const LyricFrame lf = sim.nextClockFrame();
        if (sim.ended()) break;
        for (; next < order.size() && frames[order[next]] == k; ++next)
            results[order[next]] = frameJson((*at)[order[next]], sim, lf, k > 0);
    }

    std::string out = "{\"frames\": [";
    for (std::size_t i = 0; i < results.size(); ++i) {
        if (i) out += ", ";
        out += results[i].empty() ? JsonObject().add("at", (*at)[i]).add("ended", true).str()
                                  : results[i];
    }
    out += "]}\n";
    std::fwrite(out.data(), 1, out.size(), stdout);
    return std::fflush(stdout) == 0 ? 0 : 2;
}

}  // namespace

int runTimeline(const std::vector<std::string>& args) {
    return runGuardedCommand([&] { return timeline(args); });
}

}  // namespace orba
