#include "lyrics/sources/lyricsource.h"

#include "lyrics/messagefile.h"
#include "lyrics/sources/assreader.h"
#include "lyrics/sources/lrcreader.h"
#include "lyrics/sources/lyricbounds.h"
#include "lyrics/sources/midilyrics.h"
#include "lyrics/sources/ultrastarreader.h"
#include "platform/files.h"
#include "platform/miditempomap.h"

namespace orba {

namespace {

void takeLrc(LyricSource& s) {
    LrcText lrc = readLrc(s.lines, s.form.encoding);
    s.lines = std::move(lrc.lines);
    s.form.dialect = lrc.wordTimes ? LyricDialect::EnhancedLrc : LyricDialect::Lrc;
    s.form.headerLines = std::move(lrc.headerLines);
    s.form.keptLines = std::move(lrc.keptLines);
    s.form.offsetMs = lrc.offsetMs;
    s.form.title = lyricTextToUtf8(lrc.title, s.form.encoding);
    s.form.artist = lyricTextToUtf8(lrc.artist, s.form.encoding);
    s.tagType = lrc.wordTimes ? 3 : 2;
    s.warnings.insert(s.warnings.end(), lrc.warnings.begin(), lrc.warnings.end());
}

// A source whose file gives no lyrics keeps only why.
void refuse(LyricSource& s, std::string why) {
    s.found = false;
    s.lines.clear();
    s.notes.clear();
    s.note = std::move(why);
}

void takeAss(LyricSource& s) {
    AssText ass = readAss(s.lines, s.form.encoding);
    if (!ass.problem.empty()) return refuse(s, std::move(ass.problem));
    s.form.headerLines = std::move(s.lines);
    s.lines = std::move(ass.lines);
    s.form.dialect = LyricDialect::Ass;
    s.form.title = lyricTextToUtf8(ass.title, s.form.encoding);
    s.tagType = ass.karaoke ? 3 : 2;
    s.warnings.insert(s.warnings.end(), ass.warnings.begin(), ass.warnings.end());
}

void takeUltraStar(LyricSource& s) {
    UltraStarText song = readUltraStar(s.lines, s.form.encoding);
    s.warnings.insert(s.warnings.end(), song.warnings.begin(), song.warnings.end());
    if (!song.problem.empty()) return refuse(s, std::move(song.problem));
    s.lines = std::move(song.lines);
    s.notes = std::move(song.notes);
    s.form.dialect = LyricDialect::UltraStar;
    s.form.title = lyricTextToUtf8(song.title, s.form.encoding);
    s.form.artist = lyricTextToUtf8(song.artist, s.form.encoding);
    s.tagType = 3;
}

// Every source within the same bound, whatever its reader: a UTF-16 file
// grows by half as UTF-8, and a music tag's text has no bound of its own.
void boundText(LyricSource& s) {
    if (std::string w = boundLyricText(s.lines, s.form.encoding); !w.empty())
        s.warnings.push_back(std::move(w));
    // Notes of lines left out go with them.
    std::erase_if(s.notes, [&](const SungNote& n) {
        return n.line < 0 || static_cast<std::size_t>(n.line) >= s.lines.size();
    });
}

}  // namespace

const char* lyricSourceName(LyricSourceKind kind) {
    switch (kind) {
        case LyricSourceKind::File:
            return "file";
        case LyricSourceKind::MidiEvents:
            return "MIDI events";
        case LyricSourceKind::MusicTag:
            return "music tag";
        default:
            return "none";
    }
}

const char* lyricDialectName(LyricDialect dialect) {
    switch (dialect) {
        case LyricDialect::Lrc:
            return "LRC";
        case LyricDialect::EnhancedLrc:
            return "enhanced LRC";
        case LyricDialect::MidiLyrics:
            return "MIDI lyrics";
        case LyricDialect::Ass:
            return "ASS";
        case LyricDialect::UltraStar:
            return "UltraStar";
        default:
            return "tagged text";
    }
}

LyricFileKind lyricFileKindOf(std::string_view path) {
    const std::string name = fileNamePart(path);
    if (wildcardMatch(name, "*.lrc")) return LyricFileKind::Lrc;
    if (wildcardMatch(name, "*.ass") || wildcardMatch(name, "*.ssa")) return LyricFileKind::Ass;
    if (wildcardMatch(name, "*.txt")) return LyricFileKind::Txt;
    return LyricFileKind::TaggedText;
}

LyricSource lyricSourceFromBytes(std::string_view bytes, bool lrc) {
    return lyricSourceFromBytes(bytes, lrc ? LyricFileKind::Lrc : LyricFileKind::TaggedText);
}

LyricSource lyricSourceFromBytes(std::string_view bytes, LyricFileKind kind) {
    LyricSource s;
    s.found = true;
    s.form.source = LyricSourceKind::File;
    s.form.encoding = detectTextEncoding(bytes);
    // A Shift-JIS file is split straight from its bytes and saved with
    // CR LF, exactly as always; a Unicode file keeps its own line ends, and
    // so does any subtitle file, which is saved back byte for byte but for
    // its times.
    std::string converted;
    if (isUnicode(s.form.encoding)) converted = toInternalText(bytes, s.form.encoding);
    const std::string_view text = isUnicode(s.form.encoding) ? std::string_view(converted) : bytes;
    s.lines = splitLines(text);
    if (isUnicode(s.form.encoding) || kind == LyricFileKind::Ass)
        s.form.lineEnd = mostUsedLineEnd(text);
    if (kind == LyricFileKind::Lrc) takeLrc(s);
    if (kind == LyricFileKind::Ass) {
        s.form.lastLineEnded = !text.empty() && (text.back() == '\n' || text.back() == '\r');
        takeAss(s);
    }
    if (kind == LyricFileKind::Txt && isUltraStarText(s.lines)) takeUltraStar(s);
    boundText(s);
    return s;
}

LyricSource readLyricFile(const std::string& path) {
    std::string why;
    std::optional<std::string> bytes = readWholeFile(path, &why);
    LyricSource s = bytes ? lyricSourceFromBytes(*bytes, lyricFileKindOf(path)) : LyricSource{};
    s.path = path;
    if (!bytes) s.note = std::move(why);
    return s;
}

namespace {

// The headers of an UltraStar song file; nothing when it is no such song.
std::optional<UltraStarText> ultraStarHeadersOf(const std::string& path, TextEncoding& e) {
    if (lyricFileKindOf(path) != LyricFileKind::Txt) return std::nullopt;
    const std::optional<std::string> bytes = readWholeFile(path);
    if (!bytes) return std::nullopt;
    e = detectTextEncoding(*bytes);
    const std::vector<std::string> lines =
        splitLines(isUnicode(e) ? toInternalText(*bytes, e) : *bytes);
    if (!isUltraStarText(lines)) return std::nullopt;
    return readUltraStar(lines, e);
}

}  // namespace

std::optional<std::string> ultraStarAudioOf(const std::string& path) {
    TextEncoding e{};
    const std::optional<UltraStarText> song = ultraStarHeadersOf(path, e);
    if (!song) return std::nullopt;
    return lyricTextToUtf8(song->audio, e);
}

std::optional<std::string> ultraStarVideoOf(const std::string& path) {
    TextEncoding e{};
    const std::optional<UltraStarText> song = ultraStarHeadersOf(path, e);
    if (!song) return std::nullopt;
    return lyricTextToUtf8(song->video, e);
}

LyricSource readEmbeddedLyrics(const std::string& musicFile, const MusicTagReader& readTag) {
    LyricSource s;
    if (musicFile.empty() || !isRegularFile(musicFile)) return s;
    if (playsAsMidi(musicFile)) {
        std::optional<MidiLyrics> midi = readMidiLyrics(readFileStart(musicFile, kMaxMidiBytes));
        if (!midi) {
            // A karaoke file is one for its lyrics; any other MIDI song may
            // well be music alone.
            if (wildcardMatch(fileNamePart(musicFile), "*.kar")) {
                s.path = musicFile;
                s.note = "no lyrics in the karaoke file";
            }
            return s;
        }
        s.found = true;
        s.lines = std::move(midi->lines);
        s.form.source = LyricSourceKind::MidiEvents;
        s.form.dialect = LyricDialect::MidiLyrics;
        s.form.encoding = midi->encoding;
        s.form.title = std::move(midi->title);
        s.form.artist = std::move(midi->artist);
        s.tagType = 3;
        s.warnings = std::move(midi->warnings);
    } else if (readTag) {
        const MusicTag tag = readTag(musicFile);
        if (tag.lyrics.empty()) {
            s.note = tag.note;
            if (!s.note.empty()) s.path = musicFile;
            return s;
        }
        // Tag text is UTF-8: ASCII alone reads the same as Shift-JIS.
        s = lyricSourceFromBytes(tag.lyrics, false);
        if (hasLrcLineTimes(s.lines)) takeLrc(s);
        s.form.source = LyricSourceKind::MusicTag;
        if (s.form.title.empty()) s.form.title = tag.title;
        if (s.form.artist.empty()) s.form.artist = tag.artist;
    } else {
        return s;
    }
    s.path = musicFile;
    return s;
}

LyricFilesBeside lyricFilesBeside(const std::string& musicFile) {
    if (musicFile.empty()) return {};
    const std::string base = replaceExtension(musicFile, "");
    return {fileOrFolderExists(base + ".lrc"), fileOrFolderExists(base + ".ass"),
            fileOrFolderExists(base + ".ssa")};
}

std::vector<LyricCandidate> lyricOrder(const std::string& musicFile, bool lrcBeside,
                                       const std::string& messageFile, bool useMessage) {
    return lyricOrder(musicFile, LyricFilesBeside{lrcBeside, false, false}, messageFile,
                      useMessage);
}

std::vector<LyricCandidate> lyricOrder(const std::string& musicFile, LyricFilesBeside beside,
                                       const std::string& messageFile, bool useMessage) {
    std::vector<LyricCandidate> order;
    if (!musicFile.empty()) {
        const std::string base = replaceExtension(musicFile, "");
        // The companion the song was chosen with is its lyrics, read or not.
        if (useMessage && (messageFile == base + "_t.txt" || messageFile == base + ".txt"))
            return {{messageFile, false}};
        if (beside.lrc) order.push_back({base + ".lrc", false});
        if (beside.ass) order.push_back({base + ".ass", false});
        if (beside.ssa) order.push_back({base + ".ssa", false});
        order.push_back({musicFile, true});
    }
    // A music file named as the lyric file held lyrics once; read as text it
    // would only show its bytes.
    if (useMessage && (musicFile.empty() || messageFile != musicFile))
        order.push_back({messageFile, false});
    return order;
}

LyricSource readFirstLyrics(const std::vector<LyricCandidate>& order,
                            const MusicTagReader& readTag) {
    LyricSource result;
    for (const LyricCandidate& c : order) {
        LyricSource s = c.insideMusic ? readEmbeddedLyrics(c.path, readTag) : readLyricFile(c.path);
        // A source not found stays the answer only while none before it
        // said why; a source found always becomes it.
        if (s.found || result.note.empty()) result = std::move(s);
        if (result.found) break;
    }
    return result;
}

LyricSource findLyricSource(const std::string& musicFile, const std::string& messageFile,
                            bool useMessage, const MusicTagReader& readTag) {
    return readFirstLyrics(
        lyricOrder(musicFile, lyricFilesBeside(musicFile), messageFile, useMessage), readTag);
}

}  // namespace orba
