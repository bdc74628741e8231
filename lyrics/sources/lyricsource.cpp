#include "lyrics/sources/lyricsource.h"

#include <fstream>

#include "lyrics/messagefile.h"
#include "lyrics/sources/lrcreader.h"
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
    s.form.offsetMs = lrc.offsetMs;
    s.form.title = lyricTextToUtf8(lrc.title, s.form.encoding);
    s.form.artist = lyricTextToUtf8(lrc.artist, s.form.encoding);
    s.tagType = lrc.wordTimes ? 3 : 2;
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
    // A Shift-JIS file is split straight from its bytes, exactly as always.
    s.lines = isUnicode(s.form.encoding) ? splitLines(toInternalText(bytes, s.form.encoding))
                                         : splitLines(bytes);
    if (lrc) takeLrc(s);
    return s;
}

LyricSource readLyricFile(const std::string& path) {
    std::optional<std::string> bytes = readWholeFile(path);
    if (!bytes) return {};
    LyricSource s = lyricSourceFromBytes(*bytes, hasLrcName(path));
    s.path = path;
    return s;
}

LyricSource readEmbeddedLyrics(const std::string& musicFile, const MusicTagLyricsReader& readTag) {
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
    } else if (readTag) {
        const std::string text = readTag(musicFile);
        if (text.empty()) return s;
        // Tag text is UTF-8: ASCII alone reads the same as Shift-JIS.
        s = lyricSourceFromBytes(text, false);
        if (hasLrcLineTimes(s.lines)) takeLrc(s);
        s.form.source = LyricSourceKind::MusicTag;
    } else {
        return s;
    }
    s.path = musicFile;
    return s;
}

LyricSource findLyricSource(const std::string& musicFile, const std::string& messageFile,
                            bool useMessage, const MusicTagLyricsReader& readTag) {
    if (!musicFile.empty()) {
        const std::string base = replaceExtension(musicFile, "");
        if (useMessage && (messageFile == base + "_t.txt" || messageFile == base + ".txt"))
            return readLyricFile(messageFile);
        if (const std::string lrc = base + ".lrc"; isRegularFile(lrc)) {
            if (LyricSource s = readLyricFile(lrc); s.found) return s;
        }
        if (LyricSource s = readEmbeddedLyrics(musicFile, readTag); s.found) return s;
    }
    // A music file named as the lyric file held lyrics once; read as text it
    // would only show its bytes.
    if (!useMessage || (!musicFile.empty() && messageFile == musicFile)) return {};
    return readLyricFile(messageFile);
}

}  // namespace orba
