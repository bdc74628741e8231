// Lyrics tags written into music files at test time, as taggers write them.
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace orba::test {

enum class LyricsTag {
    Uslt,            // ID3v2 unsynchronised lyrics, UTF-8
    UsltLatin1,      // the same, declared Latin-1 and holding the text's bytes as they are
    VorbisLyrics,    // "LYRICS" in an Ogg or FLAC comment
    VorbisUnsynced,  // "UNSYNCEDLYRICS" in an Ogg or FLAC comment
    Mp4,             // "©lyr"
    Asf,             // "WM/Lyrics"
    Ape,             // "Lyrics" in an APE tag (on an MP3)
};

// Adds `text` to the file's tags; false when the tag library could not.
bool writeLyricsTag(const std::string& path, LyricsTag kind, const std::string& text);

// ID3v2 timed lyrics (SYLT) of type "lyrics": times in ms, or in MPEG frames.
bool writeTimedLyricsTag(const std::string& path,
                         const std::vector<std::pair<unsigned, std::string>>& timed,
                         bool mpegFrames = false);

// The title and the artist, in whatever tag the file's kind has.
bool writeTitleAndArtist(const std::string& path, const std::string& title,
                         const std::string& artist);

}  // namespace orba::test
