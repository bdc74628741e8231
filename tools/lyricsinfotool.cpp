#include "tools/lyricsinfotool.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <optional>

#include "lyrics/karaokeparse.h"
#include "lyrics/lyricload.h"
#include "lyrics/sources/lyricsource.h"
#include "lyrics/tags.h"
#include "lyrics/textforms.h"
#include "lyrics/timeline.h"
#include "lyrics/timevalue.h"
#include "platform/files.h"
#include "platform/guardedcommand.h"
#include "platform/json.h"
#include "platform/miditempomap.h"
#include "platform/sjis.h"
#include "platform/textencoding.h"
#include "playback/cdgstream.h"
#include "playback/matroskalyrics.h"
#include "player/foldersongs.h"
#include "player/songresolution.h"
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

std::string karaokeJson(const KaraokeParse& k, TextEncoding e) {
    return JsonObject()
        .add("sungText", lyricTextToUtf8(k.sungText, e))
        .add("doneText", lyricTextToUtf8(k.doneText, e))
        .add("restText", lyricTextToUtf8(k.restText, e))
        .add("segmentProgress", k.segmentProgress)
        .add("timingKind", k.timingKind)
        .str();
}

// A lyric text as a JSON string. Shift-JIS is converted a piece at a time:
// a line of megabytes never stands in memory as UTF-8 too.
void addLyricText(JsonObjectStream& j, std::string_view key, std::string_view text,
                  TextEncoding e) {
    if (isUnicode(e)) {
        j.add(key, lyricTextToUtf8(text, e));
        return;
    }
    constexpr std::size_t kPiece = 64 * 1024;
    j.addPieces(key, [&](std::string& piece) {
        if (text.empty()) return false;
        text.remove_prefix(appendSjisAsUtf8(piece, text, kPiece));
        return true;
    });
}

void writeLineJson(std::FILE* out, const LyricText& text, std::size_t i, const LyricsInfoOptions& o,
                   TextEncoding e) {
    const std::string& raw = text.lyricLines[i];
    std::string line = raw;
    const std::uint32_t colour = takeColourTag(line, e);
    JsonObjectStream j(out);
    addLyricText(j, "raw", raw, e);
    if (i < text.lineTimes.size())
        j.add("time", text.lineTimes[i]);
    else
        j.addNull("time");
    j.add("colour", static_cast<long long>(colour));
    addLyricText(j, "shown", o.editMode ? stripTagsKeepTime(line, e) : stripTags(line, e), e);
    addLyricText(j, "plain", plainTextForm(raw, e), e);
    addLyricText(j, "safe", safeTextForm(raw, e), e);
    if (o.at) {
        int nextLineTime = 0;
        if (i + 1 < text.lineTimes.size()) nextLineTime = leadTimeOf(text.lineTimes[i + 1]);
        j.addRaw("karaoke", karaokeJson(parseKaraokeLine(*o.at, line, nextLineTime, e), e));
    }
}

// What the reader left out of a file beyond the bounds of lyric text.
std::string warningsJson(const std::vector<std::string>& warnings) {
    std::string json = "[";
    for (const std::string& w : warnings) {
        if (json.size() > 1) json += ", ";
        appendJsonString(json, w);
    }
    return json + "]";
}

// The CD+G graphics of a song, and why they cannot be shown when they cannot.
JsonObject& graphicsJson(JsonObject& j, const std::string& file) {
    const CdgStream stream(file);
    j.add("graphicsFile", file);
    if (!stream.problem().empty()) j.add("graphicsProblem", stream.problem());
    return j;
}

// A song (a music file, or an UltraStar song and the audio it names) stands
// for the lyrics the player finds for it when it is opened: files beside it,
// else the lyrics inside it. Anything else is a lyric file.
LyricSource readLyricsOf(const std::string& file) {
    if (!opensAsSong(file)) return readLyricFile(file);
    const SongOnDisk song = lookAtSong(file);
    if (!song.refusal.empty()) {
        LyricSource refused;
        refused.path = file;
        refused.note = song.refusal;
        return refused;
    }
    return readFirstLyrics(chooseSong(song, {}).lyrics, musicTagReader(readMatroskaLyrics));
}

// Writes the answer as it goes: neither a file of millions of lines nor a
// line of megabytes is held as JSON in memory on top of its lines.
int lyricsInfo(const std::vector<std::string>& args) {
    LyricsInfoOptions o;
    if (std::string error = parseOptions(args, o); !error.empty()) {
        std::fprintf(stderr, "orbakaraoke: %s\n", error.c_str());
        return 2;
    }
    LyricSource source = readLyricsOf(o.file);
    // A CD+G song's lyrics are in its graphics: the answer names them, and
    // has no lines of text when nothing else gives any.
    const ResolvedSong chosen =
        opensAsSong(o.file) ? chooseSong(lookAtSong(o.file), {}) : ResolvedSong{};
    const std::string& graphics = chosen.graphicsFile;
    if (!source.found && !graphics.empty()) {
        JsonObject j;
        graphicsJson(j.add("source", "cdg"), graphics).addRaw("lines", "[]");
        std::fputs((j.str() + "\n").c_str(), stdout);
        return std::fflush(stdout) == 0 ? 0 : 2;
    }
    if (!source.found) {
        if (source.note.empty())
            std::fprintf(stderr, "orbakaraoke: no lyrics beside or inside %s\n", o.file.c_str());
        else
            std::fprintf(stderr, "orbakaraoke: cannot read the lyric file %s: %s\n",
                         source.path.c_str(), source.note.c_str());
        return 2;
    }
    const TextEncoding e = source.form.encoding;
    LyricLoadInput in;
    in.useMessage = true;
    in.useBgm = o.songLength.has_value();
    in.songLength = o.songLength.value_or(0);
    in.timeEditMode = o.editMode;
    in.encoding = e;
    in.tagType = source.tagType;
    in.file = source.path;
    // A bad "@TimeRatio" throws before anything is written.
    const LyricText text = prepareLyrics(std::move(source.lines), in);

    auto write = [](std::string_view s) { std::fwrite(s.data(), 1, s.size(), stdout); };
    JsonObject head;
    if (!graphics.empty()) graphicsJson(head, graphics);
    // The pictures a song is sung over, when it brings its own.
    if (!chosen.video.file.empty()) head.add("videoFile", chosen.video.file);
    head.add("source", lyricSourceName(source.form.source))
        .add("sourceFile", source.path)
        .add("dialect", lyricDialectName(source.form.dialect))
        .add("encoding", encodingName(e))
        .add("title", source.form.title)
        .add("artist", source.form.artist)
        .add("tagType", text.tagType)
        .add("tagTypeName", tagTypeName(text.tagType))
        .add("timeRatio", text.timeRatio)
        .addRaw("warnings", warningsJson(source.warnings));
    // Only a source that knows the notes of its syllables counts them: every
    // other answer stays as it always was.
    if (!source.notes.empty()) head.add("sungNotes", static_cast<long long>(source.notes.size()));
    write(head.strOpenedAt("lines"));
    write("[");
    for (std::size_t i = 0; i < text.lyricLines.size(); ++i) {
        if (i) write(", ");
        writeLineJson(stdout, text, i, o, e);
    }
    write("]}\n");
    return std::fflush(stdout) == 0 && !std::ferror(stdout) ? 0 : 2;
}

}  // namespace

int runLyricsInfo(const std::vector<std::string>& args) {
    return runGuardedCommand([&] { return lyricsInfo(args); });
}

}  // namespace orba
