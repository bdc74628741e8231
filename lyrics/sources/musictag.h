// The tags inside a music file that the player, the tools and the song
// library read: the lyrics, the title and the artist. One reader for every
// kind of file, picked by the file's content, never by its name:
// - MP3 (and WAV, AIFF, FLAC) ID3v2: "SYLT" timed lyrics, else "USLT";
// - Ogg Vorbis, Ogg Opus, Ogg FLAC, Speex, FLAC: the "LYRICS" comment, else
//   "UNSYNCEDLYRICS";
// - MP4: "©lyr"; ASF (WMA): "WM/Lyrics";
// - APE tags (on MP3, Monkey's Audio, WavPack, Musepack): "Lyrics";
// - Matroska and WebM: through a reader passed in (the media framework's),
//   since the tag library knows no Matroska.
//
// Odd cases, as decided here:
// - timed lyrics become LRC lines, "[mm:ss.xx]text", so that the LRC reader
//   times them; syllables of one line become "<mm:ss.xx>" word times. SYLT
//   times counted in MPEG frames are turned into ms by the first frame's
//   length; times past 99:59.99 stay there;
// - an ID3v2 text declared Latin-1 is often really UTF-8 or Shift-JIS: it is
//   read as UTF-8 when valid, else as Shift-JIS when valid, else as Latin-1;
// - lyrics over kMaxTagLyricsBytes are not taken (`note` says why); a file
//   whose tags would need a read over kMaxTagBlockBytes at once, or over
//   kMaxTagReadBytes in all, is not read at all: the sizes the file declares
//   are checked before anything that large is read.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace orba {

inline constexpr std::size_t kMaxTagLyricsBytes = std::size_t{4} << 20;
inline constexpr std::size_t kMaxTagBlockBytes = std::size_t{16} << 20;
inline constexpr std::size_t kMaxTagReadBytes = std::size_t{64} << 20;

struct MusicTag {
    std::string lyrics;  // UTF-8; timed lyrics as LRC lines
    std::string title;   // UTF-8
    std::string artist;  // UTF-8
    std::string note;    // why lyrics in the file were passed over; empty when none were
};

// The lyrics tag of a Matroska or WebM file as UTF-8, empty when none.
using MatroskaLyricsReader = std::function<std::string(const std::string& path)>;

// Whatever the file holds; an empty tag when it holds none or cannot be read.
MusicTag readMusicTag(const std::string& path, const MatroskaLyricsReader& matroska);

// The same from the file's bytes; Matroska gives nothing here.
MusicTag readMusicTagBytes(std::string_view bytes);

using MusicTagReader = std::function<MusicTag(const std::string& musicFile)>;

// readMusicTag with the Matroska reader bound: what the player hands on.
MusicTagReader musicTagReader(MatroskaLyricsReader matroska);

struct TimedLyric {
    long long ms = 0;
    std::string text;  // UTF-8; a line break before or after it ends a line
};

// Timed lyrics as LRC lines. A text that starts with a line break starts a
// line, one that ends with one ends it; when no text holds a line break,
// every text is a line of its own.
std::string timedLyricsAsLrc(const std::vector<TimedLyric>& timed);

}  // namespace orba
