#include "tools/lyricsinfotool.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <optional>

#include "lyrics/karaokeparse.h"
#include "lyrics/lyricload.h"
#include "lyrics/messagefile.h"
#include "lyrics/tags.h"
#include "lyrics/textforms.h"
#include "lyrics/timeline.h"
#include "lyrics/timevalue.h"
#include "platform/guardedcommand.h"
#include "platform/json.h"
#include "platform/sjis.h"
#include "tools/toolargs.h"

namespace orba {

namespace {

struct LyricsInfoOptions {
    std::string file;
    std::optional<int> songLength;
    bool editMode = false;
    std::optional<int> at;
};

constexpr const char* kUsage =
    "usage: orbakaraoke --lyrics-info FILE [--song-length MS] [--edit-mode] [--at MS]";

// Fills `o` from the arguments after the flag; returns an error text or "".
std::string parseOptions(const std::vector<std::string>& args, LyricsInfoOptions& o) {
    ToolArgs a;
    if (std::string e = parseToolArgs(
            args, {{"--edit-mode", false}, {"--song-length", true}, {"--at", true}}, a);
        !e.empty())
        return e + "\n" + kUsage;
    std::string error;
    o.file = a.file;
    o.editMode = a.flags.count("--edit-mode") > 0;
    o.songLength = millisecondOption(a, "--song-length", error);
    o.at = millisecondOption(a, "--at", error);
    return error;
}

std::string karaokeJson(const KaraokeParse& k) {
    return JsonObject()
        .add("sungText", sjisToUtf8(k.sungText))
        .add("doneText", sjisToUtf8(k.doneText))
        .add("restText", sjisToUtf8(k.restText))
        .add("segmentProgress", k.segmentProgress)
        .add("timingKind", k.timingKind)
        .str();
}

// A Shift-JIS text as a JSON string, converted a piece at a time: a line of
// megabytes never stands in memory as UTF-8 too.
void addSjis(JsonObjectStream& j, std::string_view key, std::string_view sjis) {
    constexpr std::size_t kPiece = 64 * 1024;
    j.addPieces(key, [&](std::string& piece) {
        if (sjis.empty()) return false;
        sjis.remove_prefix(appendSjisAsUtf8(piece, sjis, kPiece));
        return true;
    });
}

void writeLineJson(std::FILE* out, const LyricText& text, std::size_t i,
                   const LyricsInfoOptions& o) {
    const std::string& raw = text.lyricLines[i];
    std::string line = raw;
    const std::uint32_t colour = takeColourTag(line);
    JsonObjectStream j(out);
    addSjis(j, "raw", raw);
    if (i < text.lineTimes.size())
        j.add("time", text.lineTimes[i]);
    else
        j.addNull("time");
    j.add("colour", static_cast<long long>(colour));
    addSjis(j, "shown", o.editMode ? stripTagsKeepTime(line) : stripTags(line));
    addSjis(j, "plain", plainTextForm(raw));
    addSjis(j, "safe", safeTextForm(raw));
    if (o.at) {
        int nextLineTime = 0;
        if (i + 1 < text.lineTimes.size()) nextLineTime = leadTimeOf(text.lineTimes[i + 1]);
        j.addRaw("karaoke", karaokeJson(parseKaraokeLine(*o.at, line, nextLineTime)));
    }
}

// Writes the answer as it goes: neither a file of millions of lines nor a
// line of megabytes is held as JSON in memory on top of its lines.
int lyricsInfo(const std::vector<std::string>& args) {
    LyricsInfoOptions o;
    if (std::string error = parseOptions(args, o); !error.empty()) {
        std::fprintf(stderr, "orbakaraoke: %s\n", error.c_str());
        return 2;
    }
    std::optional<std::vector<std::string>> lines = readMessageFile(o.file);
    if (!lines) {
        std::fprintf(stderr, "orbakaraoke: cannot read the lyric file %s\n", o.file.c_str());
        return 2;
    }
    LyricLoadInput in;
    in.useMessage = true;
    in.useBgm = o.songLength.has_value();
    in.songLength = o.songLength.value_or(0);
    in.timeEditMode = o.editMode;
    // A bad "@TimeRatio" throws before anything is written.
    const LyricText text = prepareLyrics(std::move(*lines), in);

    auto write = [](std::string_view s) { std::fwrite(s.data(), 1, s.size(), stdout); };
    write(JsonObject()
              .add("tagType", text.tagType)
              .add("tagTypeName", tagTypeName(text.tagType))
              .add("timeRatio", text.timeRatio)
              .strOpenedAt("lines"));
    write("[");
    for (std::size_t i = 0; i < text.lyricLines.size(); ++i) {
        if (i) write(", ");
        writeLineJson(stdout, text, i, o);
    }
    write("]}\n");
    return std::fflush(stdout) == 0 && !std::ferror(stdout) ? 0 : 2;
}

}  // namespace

int runLyricsInfo(const std::vector<std::string>& args) {
    return runGuardedCommand([&] { return lyricsInfo(args); });
}

}  // namespace orba
