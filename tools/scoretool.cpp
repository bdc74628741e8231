#include "tools/scoretool.h"

#include <cstdio>
#include <stdexcept>

#include "lyrics/tags.h"
#include "platform/guardedcommand.h"
#include "platform/json.h"
#include "platform/textencoding.h"
#include "scoring/melody.h"
#include "scoring/scorer.h"
#include "scoring/voicefile.h"
#include "settings/scoresettings.h"
#include "tools/headlessplayer.h"
#include "tools/toolargs.h"

namespace orba {

namespace {

constexpr const char* kUsage = "usage: orbakaraoke --score SONG --voice WAV [--delay MS]";

std::string linesJson(const Scorer& scorer, const PlayerState& st) {
    std::string out = "[";
    for (const LineResult& r : scorer.results()) {
        JsonObject j;
        j.add("line", r.line);
        std::string text;
        if (r.line >= 0 && r.line < static_cast<int>(st.lyricLines.size()))
            text = lyricTextToUtf8(
                stripTags(st.lyricLines[static_cast<std::size_t>(r.line)], st.lyricForm.encoding),
                st.lyricForm.encoding);
        j.add("text", text);
        j.add("rating", r.rating);
        j.add("points", r.points);
        out += (out.size() > 1 ? "," : "") + std::move(j).str();
    }
    return out + "]";
}

int score(const std::vector<std::string>& args) {
    ToolArgs a;
    if (std::string e = parseToolArgs(args, {{"--voice", true}, {"--delay", true}}, a); !e.empty())
        return toolError(e + "\n" + kUsage);
    std::string error;
    const std::optional<int> delay = millisecondOption(a, "--delay", error);
    if (!error.empty()) return toolError(error);
    if (delay && *delay > kMostMicDelayMs)
        return toolError("--delay: at most " + std::to_string(kMostMicDelayMs) + " ms");
    if (!a.values.count("--voice")) return toolError(std::string("--voice is missing\n") + kUsage);

    std::vector<float> voice;
    try {
        voice = decodeVoiceFile(a.values["--voice"]);
    } catch (const std::runtime_error& e) {
        return toolError("cannot read the voice " + a.values["--voice"] + ": " + e.what());
    }

    const std::unique_ptr<QGuiApplication> app = offscreenApplication();
    HeadlessPlayer sim(false);
    sim.player().state().scoring = true;
    sim.player().setVoiceFactory(
        [&voice](std::string&) { return std::make_unique<RecordedVoice>(std::move(voice)); });
    sim.loadMusicFile(a.file);
    if (delay) sim.player().scoreSettings().micDelayMs = *delay;
    const int lastFrame = kLatestSimulatedMs / kSimulatedFrameMs;
    while (!sim.ended() && sim.frame() < lastFrame) sim.nextClockFrame();

    JsonObject j;
    j.add("song", a.file);
    j.add("delay", sim.player().scoreSettings().micDelayMs);
    const Scorer* scorer = sim.player().scorer();
    if (!scorer) {
        j.add("reference", "none");
        j.add("note", sim.player().scoringNote());
        j.addRaw("lines", "[]");
        j.add("total", 0);
    } else {
        j.add("reference", referenceName(scorer->reference()));
        j.add("note", scorer->reference().note);
        j.addRaw("lines", linesJson(*scorer, sim.state()));
        j.add("total", scorer->total());
    }
    std::printf("%s\n", std::move(j).str().c_str());
    return 0;
}

}  // namespace

int runScore(const std::vector<std::string>& args) {
    return runGuardedCommand([&] { return score(args); });
}

}  // namespace orba
