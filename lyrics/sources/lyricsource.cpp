#include "lyrics/sources/lyricsource.h"

#include <fstream>

#include "lyrics/messagefile.h"
#include "lyrics/sources/lrcreader.h"
#include "lyrics/sources/lyricbounds.h"
#include "lyrics/sources/midilyrics.h"
#include "platform/files.h"
#include "platform/miditempomap.h"

namespace orba {

namespace {

// MIDI files are small; the player reads no more of one than this either.
constexpr std::size_t kMaxMidiBytes = 16 << 20;

std::string fileStart(const std::string& path, std::size_t n) {
    std::string head(n, '\0');
    std::ifstream in(path, std::ios::binary);
    in.read(head.data(), static_cast<std::streamsize>(n));
    head.resize(static_cast<std::size_t>(in.gcount()));
    return head;
}

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

LyricSource lyricSourceFromBytes(std::string_view bytes, bool lrc) {
    LyricSource s;
    s.found = true;
    s.form.source = LyricSourceKind::File;
    s.form.encoding = detectTextEncoding(bytes);
    // A Shift-JIS file is split straight from its bytes, exactly as always.
    s.lines = isUnicode(s.form.encoding) ? splitLines(toInternalText(bytes, s.form.encoding))
                                         : splitLines(bytes);
    if (lrc) takeLrc(s);
    boundText(s);
    return s;
}

LyricSource readLyricFile(const std::string& path) {
    std::optional<std::string> bytes = readWholeFile(path);
    if (!bytes) return {};
    LyricSource s = lyricSourceFromBytes(*bytes, hasLrcName(path));
    s.path = path;
    return s;
}

LyricSource readEmbeddedLyrics(const std::string& musicFile, const MusicTagReader& readTag) {
    LyricSource s;
    if (musicFile.empty() || !isRegularFile(musicFile)) return s;
    if (looksLikeMidi(fileStart(musicFile, 12))) {
        std::optional<MidiLyrics> midi = readMidiLyrics(fileStart(musicFile, kMaxMidiBytes));
        if (!midi) return s;
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

LyricSource findLyricSource(const std::string& musicFile, const std::string& messageFile,
                            bool useMessage, const MusicTagReader& readTag) {
    std::string note;
    if (!musicFile.empty()) {
        const std::string base = replaceExtension(musicFile, "");
        if (useMessage && (messageFile == base + "_t.txt" || messageFile == base + ".txt"))
            return readLyricFile(messageFile);
        if (const std::string lrc = base + ".lrc"; isRegularFile(lrc)) {
            if (LyricSource s = readLyricFile(lrc); s.found) return s;
        }
        LyricSource s = readEmbeddedLyrics(musicFile, readTag);
        if (s.found) return s;
        note = std::move(s.note);
    }
    // A music file named as the lyric file held lyrics once; read as text it
    // would only show its bytes.
    LyricSource s;
    if (useMessage && (musicFile.empty() || messageFile != musicFile))
        s = readLyricFile(messageFile);
    if (!s.found) s.note = std::move(note);
    return s;
}

}  // namespace orba
