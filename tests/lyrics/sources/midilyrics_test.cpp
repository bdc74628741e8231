#include "lyrics/sources/midilyrics.h"

#include <gtest/gtest.h>

#include "tests/lyrics/sj.h"
#include "tests/support/midiwriter.h"

namespace orba {
namespace {

using Lines = std::vector<std::string>;
using test::MidiWriter;

constexpr int kLyric = 5, kText = 1;

TEST(MidiLyrics, SyllableTimesFollowTheTempoChanges) {
    // 120 bpm for the first two beats (1 s), then 60 bpm: a beat is 1 s.
    MidiWriter w(480, 2);
    w.tempo(0, 0, 500000).tempo(0, 960, 1000000);
    w.text(1, 0, kLyric, "Hel").text(1, 480, kLyric, "lo ").text(1, 960, kLyric, "world\r");
    w.text(1, 1440, kLyric, "Next").endAt(1, 1920);
    const std::optional<MidiLyrics> r = readMidiLyrics(w.bytes());
    ASSERT_TRUE(r);
    EXPECT_EQ(r->lines, (Lines{"[00:00:00]Hel[00:00:50]lo [00:01:00]world", "[00:02:00]Next"}));
    EXPECT_EQ(r->encoding, TextEncoding::ShiftJis);
}

TEST(MidiLyrics, KarTextEventsJoinAtSlashesAndSkipHeaders) {
    MidiWriter w(480, 3);
    w.text(1, 0, kText, "@KMIDI KARAOKE FILE").text(1, 0, kText, "@TMy Song");
    w.text(1, 0, kText, "@TSinger").text(1, 0, kText, "@LENG").text(1, 0, kText, "@Iinfo");
    w.text(2, 0, kText, "\\Twin").text(2, 240, kText, "kle ").text(2, 480, kText, "/lit");
    w.text(2, 720, kText, "tle").text(2, 960, kText, "\\Star");
    // Text in another track is no lyric.
    w.text(0, 100, kText, "Copyright note");
    const std::optional<MidiLyrics> r = readMidiLyrics(w.bytes());
    ASSERT_TRUE(r);
    EXPECT_EQ(r->lines, (Lines{"[00:00:00]Twin[00:00:25]kle ", "[00:00:50]lit[00:00:75]tle",
                               "[00:01:00]Star"}));
    EXPECT_EQ(r->title, "My Song");
    EXPECT_EQ(r->artist, "Singer");
}

TEST(MidiLyrics, LyricEventsWinOverTextEvents) {
    MidiWriter w(480);
    w.text(0, 0, kText, "@KMIDI KARAOKE FILE").text(0, 0, kText, "text");
    w.text(0, 0, kLyric, "lyric");
    const std::optional<MidiLyrics> r = readMidiLyrics(w.bytes());
    ASSERT_TRUE(r);
    EXPECT_EQ(r->lines, (Lines{"[00:00:00]lyric"}));
}

TEST(MidiLyrics, FilesWithoutLyricsHaveNone) {
    MidiWriter plain(480);
    plain.note(0, 0, 480, 60).text(0, 0, kText, "just a marker");
    EXPECT_FALSE(readMidiLyrics(plain.bytes()));
    EXPECT_FALSE(readMidiLyrics("not a MIDI file"));
}

TEST(MidiLyrics, EncodingIsUtf8ThenShiftJisThenWindows1252) {
    auto encodingOf = [](const std::string& syllable, std::string* line = nullptr) {
        MidiWriter w(480);
        w.text(0, 0, kLyric, syllable);
        const std::optional<MidiLyrics> r = readMidiLyrics(w.bytes());
        if (line && r) *line = r->lines.at(0);
        return r ? r->encoding : TextEncoding::Utf16Be;
    };
    EXPECT_EQ(encodingOf("\xED\x95\x9C"), TextEncoding::Utf8);
    std::string line;
    EXPECT_EQ(encodingOf(test::sj("うた"), &line), TextEncoding::ShiftJis);
    EXPECT_EQ(line, "[00:00:00]" + test::sj("うた"));
    // Neither UTF-8 nor Shift-JIS ("é" then a byte no lead byte takes).
    EXPECT_EQ(encodingOf("caf\xE9!", &line), TextEncoding::Utf8);
    EXPECT_EQ(line, "[00:00:00]caf\xC3\xA9!");
}

}  // namespace
}  // namespace orba
