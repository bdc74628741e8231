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

// The lines of a file with these syllables, half a second apart.
Lines linesOf(const Lines& syllables, TextEncoding* e = nullptr) {
    MidiWriter w(480);
    for (std::size_t i = 0; i < syllables.size(); ++i)
        w.text(0, static_cast<std::uint32_t>(i * 480), kLyric, syllables[i]);
    const std::optional<MidiLyrics> r = readMidiLyrics(w.bytes());
    if (e && r) *e = r->encoding;
    return r ? r->lines : Lines{};
}

TEST(MidiLyrics, BracketsAndBackslashesInSyllablesShowAsTheirFullWidthForms) {
    const std::string hangul = "\xED\x95\x9C";
    EXPECT_EQ(linesOf({"[Chorus] ", hangul}),
              (Lines{"[00:00:00]\uFF3BChorus\uFF3D [00:00:50]" + hangul}));
    // In Shift-JIS the second byte of \u30BD is no backslash.
    EXPECT_EQ(
        linesOf({"C:\\path", test::sj("\u30BD]")}),
        (Lines{"[00:00:00]C:" + test::sj("\uFF3C") + "path[00:00:50]" + test::sj("\u30BD\uFF3D")}));
    // A backslash in front of a syllable still begins a line.
    EXPECT_EQ(linesOf({"a", "\\b[1]"}), (Lines{"[00:00:00]a", "[00:00:50]b" + test::sj("\uFF3B") +
                                                                  "1" + test::sj("\uFF3D")}));
}

TEST(MidiLyrics, AByteOrderMarkMakesTheTextUtf8AndIsNotShown) {
    TextEncoding e = TextEncoding::ShiftJis;
    EXPECT_EQ(linesOf({"\xEF\xBB\xBFHel", "lo"}, &e), (Lines{"[00:00:00]Hel[00:00:50]lo"}));
    EXPECT_EQ(e, TextEncoding::Utf8Bom);
    EXPECT_EQ(linesOf({"\xEF\xBB\xBFHel", "\xEF\xBB\xBFlo"}), (Lines{"[00:00:00]Hel[00:00:50]lo"}));

    MidiWriter kar(480);
    kar.text(0, 0, kText, "@T\xEF\xBB\xBFSong").text(0, 0, kText, "\xEF\xBB\xBFla");
    const std::optional<MidiLyrics> r = readMidiLyrics(kar.bytes());
    ASSERT_TRUE(r);
    EXPECT_EQ(r->title, "Song");
}

TEST(MidiLyrics, ACharacterSplitBetweenTwoEventsIsNoUtf8) {
    // Together the bytes are one Hangul syllable; each event alone is broken.
    TextEncoding e = TextEncoding::ShiftJis;
    const Lines lines = linesOf({"\xED\x95", "\x9C"}, &e);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0], "[00:00:00]\xC3\xAD\xE2\x80\xA2[00:00:50]\xC5\x93");
    EXPECT_EQ(e, TextEncoding::Utf8);  // read as Windows-1252
}

TEST(MidiLyrics, LongLinesGoOnInNewLinesAndTheWholeStopsAtItsBound) {
    // 110 bytes a syllable with its tag: 595 fit in a line of 64 KiB, and
    // 38130 in 4 MiB.
    MidiWriter w(480);
    for (std::uint32_t i = 0; i < 40000; ++i) w.text(0, i, kLyric, std::string(100, 'a'));
    const std::optional<MidiLyrics> r = readMidiLyrics(w.bytes());
    ASSERT_TRUE(r);
    std::size_t total = 0, syllables = 0;
    for (const std::string& line : r->lines) {
        EXPECT_LE(line.size(), 64u << 10);
        total += line.size();
        syllables += line.size() / 110;
    }
    EXPECT_EQ(r->lines.front().size(), 595u * 110);
    EXPECT_EQ(syllables, 38130u);
    EXPECT_LE(total, 4u << 20);
    ASSERT_EQ(r->warnings.size(), 2u);
    EXPECT_EQ(r->warnings[0],
              "line 1 reaches 65536 bytes and goes on in a new line (and 63 more like it)");
    EXPECT_NE(r->warnings[1].find("1870 syllables from"), std::string::npos) << r->warnings[1];
}

}  // namespace
}  // namespace orba
