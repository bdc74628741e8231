#include "lyrics/sources/lyricsource.h"

#include "lyrics/messagefile.h"
#include "lyrics/sources/lrcreader.h"
#include "lyrics/sources/lyricbounds.h"
#include "lyrics/sources/midilyrics.h"
#include "platform/files.h"
#include "platform/miditempomap.h"

namespace orba {

namespace {

bool hasLrcName(const std::string& path) {
    return wildcardMatch(fileNamePart(path), "*.lrc");
}

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

// Every source within the same bound, whatever its reader: a UTF-16 file
// grows by half as UTF-8, and a music tag's text has no bound of its own.
void boundText(LyricSource& s) {
    if (std::string w = boundLyricText(s.lines, s.form.encoding); !w.empty())
        s.warnings.push_back(std::move(w));
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
        default:
            return "tagged text";
    }
}

LyricSource lyricSourceFromBytes(std::string_view bytes, bool lrc) {
    LyricSource s;
    s.found = true;
    s.form.source = LyricSourceKind::File;
    s.form.encoding = detectTextEncoding(bytes);
    // A Shift-JIS file is split straight from its bytes and saved with
    // CR LF, exactly as always; a Unicode file keeps its own line ends.
    if (isUnicode(s.form.encoding)) {
        const std::string text = toInternalText(bytes, s.form.encoding);
        s.lines = splitLines(text);
        s.form.lineEnd = mostUsedLineEnd(text);
    } else {
        s.lines = splitLines(bytes);
    }
    if (lrc) takeLrc(s);
    boundText(s);
    return s;
}

LyricSource readLyricFile(const std::string& path) {
    std::string why;
    std::optional<std::string> bytes = readWholeFile(path, &why);
    LyricSource s = bytes ? lyricSourceFromBytes(*bytes, hasLrcName(path)) : LyricSource{};
    s.path = path;
    if (!bytes) s.note = std::move(why);
    return s;
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

std::vector<LyricCandidate> lyricOrder(const std::string& musicFile, bool lrcBeside,
                                       const std::string& messageFile, bool useMessage) {
    std::vector<LyricCandidate> order;
    if (!musicFile.empty()) {
        const std::string base = replaceExtension(musicFile, "");
        // The companion the song was chosen with is its lyrics, read or not.
        if (useMessage && (messageFile == base + "_t.txt" || messageFile == base + ".txt"))
            return {{messageFile, false}};
        if (lrcBeside) order.push_back({base + ".lrc", false});
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
    const bool lrcBeside =
        !musicFile.empty() && fileOrFolderExists(replaceExtension(musicFile, "") + ".lrc");
    return readFirstLyrics(lyricOrder(musicFile, lrcBeside, messageFile, useMessage), readTag);
}

}  // namespace orba
