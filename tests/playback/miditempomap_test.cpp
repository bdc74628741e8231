#include "platform/miditempomap.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/midiwriter.h"

namespace orba {
namespace {

using test::MidiWriter;

std::string withTrackBody(const std::string& body, std::uint32_t declaredLength) {
    std::string out("MThd\0\0\0\x06\0\x01\0\x01\x01\xE0", 14);  // format 1, 1 track, 480 ticks
    out += "MTrk";
    for (int shift : {24, 16, 8, 0}) out += char(declaredLength >> shift);
    return out + body;
}

TEST(MidiTempoMap, LengthFollowsEveryTempoChange) {
    // One second at 120 bpm, two at 60 bpm, half a second at 240 bpm.
    MidiWriter w(480);
    w.tempo(0, 0, 500000).tempo(0, 960, 1000000).tempo(0, 1920, 250000).endAt(0, 2880);
    std::optional<MidiTempoMap> map = parseMidiTempoMap(w.bytes());
    ASSERT_TRUE(map);
    EXPECT_EQ(map->endTick, 2880u);
    EXPECT_EQ(map->lengthMs(), 3500);
}

TEST(MidiTempoMap, WithoutTempoEventsPlaysAt120Bpm) {
    MidiWriter w(96);
    w.note(0, 0, 96 * 4, 60);
    std::optional<MidiTempoMap> map = parseMidiTempoMap(w.bytes(0));
    ASSERT_TRUE(map);
    EXPECT_EQ(map->lengthMs(), 2000);
}

TEST(MidiTempoMap, LongestTrackDecidesAndTempoOfAnyTrackCounts) {
    MidiWriter w(480, 3);
    w.tempo(0, 0, 600000).endAt(0, 10);
    w.note(1, 0, 480, 60);
    w.tempo(2, 480, 300000).note(2, 960, 480, 64);  // ends at tick 1440
    std::optional<MidiTempoMap> map = parseMidiTempoMap(w.bytes());
    ASSERT_TRUE(map);
    EXPECT_EQ(map->endTick, 1440u);
    EXPECT_EQ(map->lengthMs(), 600 + 300 + 300);
}

TEST(MidiTempoMap, TickAndTimeConvertBothWaysAcrossTempoChanges) {
    MidiWriter w(480);
    w.tempo(0, 0, 500000).tempo(0, 960, 1000000).endAt(0, 1920);
    std::optional<MidiTempoMap> map = parseMidiTempoMap(w.bytes());
    ASSERT_TRUE(map);
    struct Case {
        std::uint32_t tick;
        double ms;
    };
    for (Case c :
         {Case{0, 0}, Case{480, 500}, Case{960, 1000}, Case{1200, 1500}, Case{1920, 3000}}) {
        EXPECT_DOUBLE_EQ(map->msAtTick(c.tick), c.ms) << c.tick;
        EXPECT_EQ(map->tickAtMs(c.ms), c.tick) << c.ms;
    }
}

TEST(MidiTempoMap, ChangesAtOneTickTakeEffectFromItAndTheLastOfThemWins) {
    // 120 bpm, then at beat 1 a change at once overridden by 60 bpm, then at
    // beat 3 back to 120 bpm: beats take 0.5, 1, 1 and 0.5 s.
    MidiWriter w(480);
    w.tempo(0, 480, 250000).tempo(0, 480, 1000000).tempo(0, 1440, 500000).endAt(0, 1920);
    std::optional<MidiTempoMap> map = parseMidiTempoMap(w.bytes());
    ASSERT_TRUE(map);
    struct Case {
        std::uint32_t tick;
        double ms;
    };
    for (Case c : {Case{0, 0}, Case{240, 250}, Case{480, 500}, Case{481, 500 + 1000.0 / 480},
                   Case{960, 1500}, Case{1440, 2500}, Case{1920, 3000}}) {
        EXPECT_DOUBLE_EQ(map->msAtTick(c.tick), c.ms) << c.tick;
        EXPECT_EQ(map->tickAtMs(c.ms), c.tick) << c.ms;
    }
    // Past the last change its tempo goes on.
    EXPECT_DOUBLE_EQ(map->msAtTick(2400), 3500);
    EXPECT_EQ(map->tickAtMs(3500), 2400u);
}

TEST(MidiTempoMap, RunningStatusSysexAndMetaEventsAreStepped) {
    // Note on, then two more with running status, a sysex and a text meta
    // event, each 480 ticks apart; end of track 480 ticks later.
    std::string body(
        "\x00\x90\x3C\x64"
        "\x83\x60\x3E\x64"
        "\x83\x60\x40\x64"
        "\x83\x60\xF0\x03\x7E\x09\xF7"
        "\x83\x60\xFF\x01\x02hi"
        "\x83\x60\xFF\x2F\x00",
        31);
    std::optional<MidiTempoMap> map = parseMidiTempoMap(withTrackBody(body, 31));
    ASSERT_TRUE(map);
    EXPECT_EQ(map->endTick, 480u * 5);
}

TEST(MidiTempoMap, NotesAreCollectedWithTheirChannelsAndEnds) {
    // On channel 3: key 60 on, key 62 on (running status), key 60 "on" at
    // velocity 0 (an end); on channel 1 a note-off of key 62; a program change.
    std::string body(
        "\x00\x92\x3C\x64"
        "\x83\x60\x3E\x50"
        "\x00\x3C\x00"
        "\x83\x60\x80\x3E\x40"
        "\x00\xC0\x05"
        "\x00\xFF\x2F\x00",
        23);
    std::vector<MidiNoteEvent> notes;
    ASSERT_TRUE(parseMidiTempoMap(withTrackBody(body, 23), nullptr, &notes));
    ASSERT_EQ(notes.size(), 4u);
    EXPECT_EQ(notes[0].tick, 0u);
    EXPECT_EQ(notes[0].channel, 2);
    EXPECT_EQ(notes[0].key, 60);
    EXPECT_TRUE(notes[0].on);
    EXPECT_EQ(notes[1].key, 62);
    EXPECT_EQ(notes[1].tick, 480u);
    EXPECT_FALSE(notes[2].on);  // velocity 0
    EXPECT_EQ(notes[2].key, 60);
    EXPECT_EQ(notes[3].tick, 960u);
    EXPECT_EQ(notes[3].channel, 0);
    EXPECT_FALSE(notes[3].on);
}

TEST(MidiTempoMap, RiffWrappedFileIsRead) {
    MidiWriter w(480);
    w.endAt(0, 960);
    std::string smf = w.bytes();
    std::string riff = "RIFF";
    std::uint32_t size = static_cast<std::uint32_t>(smf.size() + 12);
    for (int shift : {0, 8, 16, 24}) riff += char(size >> shift);
    riff += "RMIDdata";
    for (int shift : {0, 8, 16, 24}) riff += char(smf.size() >> shift);
    riff += smf;
    EXPECT_TRUE(looksLikeMidi(riff));
    std::optional<MidiTempoMap> map = parseMidiTempoMap(riff);
    ASSERT_TRUE(map);
    EXPECT_EQ(map->lengthMs(), 1000);
}

TEST(MidiTempoMap, TrackLongerThanTheFileEndsAtItsLastWholeEvent) {
    // The track claims far more bytes than follow, and its last note is cut
    // in the middle.
    std::string body(
        "\x00\x90\x3C\x64"
        "\x83\x60\x80\x3C\x00"
        "\x83\x60\x90",
        12);
    std::optional<MidiTempoMap> map = parseMidiTempoMap(withTrackBody(body, 0xFFFFFFFF));
    ASSERT_TRUE(map);
    EXPECT_EQ(map->endTick, 480u);
}

TEST(MidiTempoMap, BrokenEventsEndTheTrackWithoutReadingPastIt) {
    struct Case {
        const char* what;
        std::string body;
        std::uint32_t endTick;
    };
    const Case cases[] = {
        {"delta of five bytes", std::string("\x00\x90\x3C\x64\x81\x81\x81\x81\x01\x90\x3C\x64", 12),
         0},
        {"data byte without status", std::string("\x00\x3C\x64", 3), 0},
        {"meta longer than the track", std::string("\x00\x90\x3C\x64\x10\xFF\x01\x7F", 8), 0},
        {"sysex longer than the track", std::string("\x10\xF0\x05\x01", 4), 0},
        {"system byte", std::string("\x00\x90\x3C\x64\x10\xF8", 6), 0},
    };
    for (const Case& c : cases) {
        std::optional<MidiTempoMap> map =
            parseMidiTempoMap(withTrackBody(c.body, static_cast<std::uint32_t>(c.body.size())));
        ASSERT_TRUE(map) << c.what;
        EXPECT_EQ(map->endTick, c.endTick) << c.what;
    }
}

TEST(MidiTempoMap, BrokenHeadersAreRejected) {
    const std::string good = MidiWriter(480).endAt(0, 480).bytes();
    auto patched = [&](std::size_t at, std::string bytes) {
        std::string s = good;
        s.replace(at, bytes.size(), bytes);
        return s;
    };
    struct Case {
        const char* what;
        std::string bytes;
    };
    const Case cases[] = {
        {"empty", ""},
        {"only the tag", "MThd"},
        {"no header tag", patched(0, "MXhd")},
        {"header shorter than six bytes", patched(4, std::string("\0\0\0\x02", 4))},
        {"header longer than the file", patched(4, std::string("\x7F\0\0\0", 4))},
        {"format 3", patched(8, std::string("\0\x03", 2))},
        {"division zero", patched(12, std::string("\0\0", 2))},
        {"time-code division", patched(12, std::string("\xE7\x28", 2))},
        {"no track", good.substr(0, 14)},
        {"RIFF without data", std::string("RIFF\x04\0\0\0RMID", 12)},
        // The walk must stop at the end when the pad byte after an odd-length
        // last chunk is missing, not read a chunk header past it.
        {"odd last chunk without pad", std::string("RIFF\x0D\0\0\0RMIDabcd\x01\0\0\0x", 21)},
        {"only an odd LIST chunk", std::string("RIFF\x0D\0\0\0RMIDLIST\x03\0\0\0abc", 23)},
    };
    for (const Case& c : cases) EXPECT_FALSE(parseMidiTempoMap(c.bytes)) << c.what;
}

}  // namespace
}  // namespace orba
