// What the catalogue keeps of a song, and the function that tells it. How a
// music file is read (its lyric source, tags, length) is decided outside
// the catalogue and handed in as a DescribeSong; the catalogue stores
// whatever it is told.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace orba {

struct SongFacts {
    std::string type;   // "midi", "audio" or "video"
    int lengthMs = 0;   // 0: not known
    std::string title;  // UTF-8, as every text here
    std::string artist;
    // Where the lyrics come from and in what form, as the lyric readers
    // name them ("file", "LRC", "Shift-JIS" ...); empty when there are none.
    std::string lyricSource;
    std::string lyricDialect;
    std::string lyricEncoding;
    bool hasPictures = false;
    bool hasPerSongFile = false;
    // The shown text of every lyric line, one line per line.
    std::string lyrics;
};

// Nothing when the file cannot be read as a song.
using DescribeSong = std::function<std::optional<SongFacts>(const std::string& path)>;

// Tells a song by its file name alone: the title is the name without its
// extension, the type follows the extension.
std::optional<SongFacts> describeByFileName(const std::string& path);

// "midi", "video" or "audio" by the file's extension.
std::string musicTypeByExtension(std::string_view path);

}  // namespace orba
