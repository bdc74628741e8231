// The fuzz targets: every parser of a file that users bring, each behind one
// entry function that takes any bytes. libFuzzer drives the entries in the
// fuzzing build; the test suite replays the corpora through the same entries
// with the normal compiler.
#pragma once

#include <span>
#include <string_view>

namespace orba::fuzz {

// A message file through the line split and every text step of a song
// load, and each line through the tag operations at a few lyric times.
void lyricFile(std::string_view bytes);
// Shift-JIS to UTF-8 and back.
void sjisText(std::string_view bytes);
// A settings file read, written with one more key and read back.
void profileText(std::string_view bytes);
// A MIDI file's tempo map, as it is and wrapped in RIFF RMID.
void midiTempoMap(std::string_view bytes);
// An LRC file, in whatever encoding it comes, through its reader, a save and
// a read back, and the song load's text steps.
void lrcFile(std::string_view bytes);
// An LRC file grown from the bytes past every bound of lyric text: line
// times, text and lines repeated up to thousands of times over.
void lrcExpansion(std::string_view bytes);
// The lyrics inside a MIDI file, and each line through the karaoke parse.
void midiLyrics(std::string_view bytes);
// The length estimate of an MPEG audio file from its first bytes.
void mpegAudioLength(std::string_view bytes);
// A picture of the slideshow: header, then every decoding scale, in colour
// and in grey.
void jpegPicture(std::string_view bytes);
// The tags of a music file of any kind (ID3v2, APE, Ogg and FLAC comments,
// MP4, ASF, the sizes of Matroska's), and the lyrics as the player takes them.
void musicTag(std::string_view bytes);

// CD+G graphics decoded forward, past their end and back from the start.
void cdgFile(std::string_view bytes);
// Subtitles with karaoke durations through their reader, a save as read and
// one with every line moved, a read back, and the song load's text steps.
void assFile(std::string_view bytes);
// An UltraStar song through its reader (whatever its headers say) and as a
// ".txt" lyric file: times, notes and lines in order and within bounds, and
// the audio it names never outside its folder.
void ultraStarFile(std::string_view bytes);

struct Target {
    const char* name;  // also the folder of its corpus, fuzz/corpus/<name>
    void (*run)(std::string_view bytes);
};

std::span<const Target> targets();

}  // namespace orba::fuzz
