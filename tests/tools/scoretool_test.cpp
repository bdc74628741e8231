// `orbakaraoke --score` as a singer's rehearsal would run it: the melody of
// an UltraStar song and of a MIDI song sung back from recordings made here
// (a tone, a voice with vibrato and overtones, the voice an octave down, a
// semitone off, silence), the recording standing in for the microphone.
#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <fstream>
#include <sstream>

#include "lyrics/sources/ultrastarreader.h"
#include "tests/support/commandrun.h"
#include "tests/support/singsong.h"
#include "tests/support/voicewriter.h"

namespace orba {
namespace {

using test::SungTone;
using test::TempDir;
using test::VoiceStyle;

const std::string kUltraStarSong = std::string(ORBA_DEMO_DIR) + "/examples/asanouta-ultrastar.txt";

std::vector<SungTone> ultraStarMelody() {
    std::ifstream in(kUltraStarSong, std::ios::binary);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
    }
    const UltraStarText song = readUltraStar(lines, TextEncoding::Utf8);
    std::vector<SungTone> notes;
    for (const SungNote& n : song.notes)
        if (n.kind != NoteKind::Freestyle)
            notes.push_back({n.startMs, n.startMs + n.lengthMs, 60 + n.pitch});
    return notes;
}

std::vector<SungTone> midiMelody() {
    return test::singSongMelody();
}

std::string midiSong() {
    return test::singSongMidi();
}

struct Sung {
    int total = -1;
    std::string reference;
    QJsonArray lines;
    std::string err;
};

Sung score(const TempDir& dir, const std::string& song, const std::vector<SungTone>& melody,
           VoiceStyle style, int shift, bool silent = false, int lateMs = 0,
           const std::string& extra = "") {
    const int length = melody.back().endMs + 1500;
    std::vector<SungTone> notes = melody;
    for (SungTone& n : notes) n.startMs += lateMs, n.endMs += lateMs;
    const std::vector<float> samples =
        silent ? std::vector<float>(length * test::kVoiceWavRate / 1000, 0.0f)
               : test::singNotes(notes, length + lateMs, style, shift);
    const std::string wav = dir.file("voice.wav");
    test::writeVoiceWav(wav, samples);
    const test::CommandRun run = test::runProgram(
        dir, ORBAKARAOKE_BIN, "--score '" + song + "' --voice '" + wav + "' " + extra);
    Sung s;
    s.err = run.err;
    if (run.exitCode != 0) return s;
    const QJsonObject o = QJsonDocument::fromJson(QByteArray::fromStdString(run.out)).object();
    s.total = o.value("total").toInt(-1);
    s.reference = o.value("reference").toString().toStdString();
    s.lines = o.value("lines").toArray();
    return s;
}

void expectTheFiveSingers(const std::string& song, const std::vector<SungTone>& melody,
                          const std::string& reference) {
    TempDir dir;
    const Sung tone = score(dir, song, melody, VoiceStyle::Tone, 0);
    EXPECT_EQ(tone.reference, reference) << tone.err;
    EXPECT_GE(tone.total, 9000) << tone.err;
    ASSERT_FALSE(tone.lines.isEmpty());
    EXPECT_EQ(tone.lines.first().toObject().value("rating").toString(), "Perfect");

    const Sung voice = score(dir, song, melody, VoiceStyle::Voice, 0);
    EXPECT_GE(voice.total, 9000) << voice.err;
    const Sung octaveDown = score(dir, song, melody, VoiceStyle::Voice, -12);
    EXPECT_GE(octaveDown.total, 9000) << octaveDown.err;
    const Sung semitoneOff = score(dir, song, melody, VoiceStyle::Voice, 1);
    EXPECT_GE(semitoneOff.total, 0) << semitoneOff.err;
    EXPECT_LE(semitoneOff.total, 3000);
    const Sung silence = score(dir, song, melody, VoiceStyle::Tone, 0, true);
    EXPECT_EQ(silence.total, 0) << silence.err;
    for (const QJsonValue& line : silence.lines)
        EXPECT_EQ(line.toObject().value("rating").toString(), "Miss");
}

TEST(ScoreCommand, UltraStarSongSungBackScoresByTheSinging) {
    expectTheFiveSingers(kUltraStarSong, ultraStarMelody(), "UltraStar notes");
}

TEST(ScoreCommand, MidiSongSungBackScoresAgainstItsMelodyChannel) {
    TempDir songDir;
    const std::string song = songDir.file("song.mid");
    test::writeFile(song, midiSong());
    expectTheFiveSingers(song, midiMelody(), "MIDI channel 2");
}

TEST(ScoreCommand, TheDelayComparesALateVoiceWithTheMelodyEarlier) {
    TempDir songDir;
    const std::string song = songDir.file("song.mid");
    test::writeFile(song, midiSong());
    TempDir dir;
    const Sung late = score(dir, song, midiMelody(), VoiceStyle::Voice, 0, false, 300);
    const Sung delayed =
        score(dir, song, midiMelody(), VoiceStyle::Voice, 0, false, 300, "--delay 300");
    EXPECT_GE(delayed.total, 9000) << delayed.err;
    EXPECT_LT(late.total, delayed.total - 1000);
}

// The example's LRC file times every syllable, as the UltraStar song's
// notes do, but knows no pitch.
TEST(ScoreCommand, KaraokeTimedLyricsWithoutMelodyScoreTheTimingAndSaySo) {
    TempDir dir;
    const std::string song = std::string(ORBA_DEMO_DIR) + "/examples/asanouta.mp3";
    const Sung sung = score(dir, song, ultraStarMelody(), VoiceStyle::Voice, 1);
    EXPECT_EQ(sung.reference, "timing only") << sung.err;
    EXPECT_GE(sung.total, 9000);  // a semitone off: the pitch is not looked at
    const Sung silence = score(dir, song, ultraStarMelody(), VoiceStyle::Tone, 0, true);
    EXPECT_EQ(silence.total, 0);
}

TEST(ScoreCommand, SaysWhatIsWrongWithItsArguments) {
    TempDir dir;
    EXPECT_EQ(test::runProgram(dir, ORBAKARAOKE_BIN, "--score '" + kUltraStarSong + "'").exitCode,
              2);
    const test::CommandRun missing =
        test::runProgram(dir, ORBAKARAOKE_BIN,
                         "--score '" + kUltraStarSong + "' --voice '" + dir.file("no.wav") + "'");
    EXPECT_EQ(missing.exitCode, 2);
    EXPECT_NE(missing.err.find("cannot read the voice"), std::string::npos) << missing.err;
    test::writeFile(dir.file("bad.wav"), "RIFF....WAVEjunk");
    EXPECT_EQ(
        test::runProgram(dir, ORBAKARAOKE_BIN,
                         "--score '" + kUltraStarSong + "' --voice '" + dir.file("bad.wav") + "'")
            .exitCode,
        2);
}

// The microphone hears the clicks 120 ms after they were played: a
// recording of clicks that late stands in for it.
TEST(CalibrateCommand, MeasuresTheDelayOfClicksHeardBackAndKeepsIt) {
    TempDir dir;
    std::vector<float> heard(8 * test::kVoiceWavRate, 0.0f);
    for (int k = 0; k < 8; ++k) {
        const int at = (k * 750 + 120) * test::kVoiceWavRate / 1000;
        for (int i = 0; i < 200; ++i)
            heard[static_cast<std::size_t>(at + i)] = 0.6f * std::sin(i * 0.3f) * (1 - i / 200.0f);
    }
    test::writeVoiceWav(dir.file("clicks.wav"), heard);
    const std::string ini = dir.file("ORBAKARAOKE.ini");
    test::writeFile(ini, "[Option]\r\nTextBack=1\r\n");
    const std::string env = "ORBAKARAOKE_INI='" + ini +
                            "' ORBAKARAOKE_MIC_SOURCE='filesrc location=" + dir.file("clicks.wav") +
                            " ! wavparse' ";
    const test::CommandRun run =
        test::runProgram(dir, "/usr/bin/env", env + "'" + ORBAKARAOKE_BIN + "' --calibrate-mic");
    ASSERT_EQ(run.exitCode, 0) << run.err;
    const QJsonObject o = QJsonDocument::fromJson(QByteArray::fromStdString(run.out)).object();
    EXPECT_NEAR(o.value("delay").toInt(), 120, 15) << run.out;
    EXPECT_EQ(o.value("heard").toInt(), 8);
    const std::string kept = test::readFile(ini);
    EXPECT_NE(kept.find("[Option]\r\nTextBack=1\r\n"), std::string::npos) << kept;
    EXPECT_NE(kept.find("MicDelay=1"), std::string::npos) << kept;
}

TEST(CalibrateCommand, SaysSoWhenNothingIsHeard) {
    TempDir dir;
    test::writeVoiceWav(dir.file("quiet.wav"), std::vector<float>(8 * test::kVoiceWavRate, 0.0f));
    const std::string ini = dir.file("ORBAKARAOKE.ini");
    const std::string env = "ORBAKARAOKE_INI='" + ini +
                            "' ORBAKARAOKE_MIC_SOURCE='filesrc location=" + dir.file("quiet.wav") +
                            " ! wavparse' ";
    const test::CommandRun run =
        test::runProgram(dir, "/usr/bin/env", env + "'" + ORBAKARAOKE_BIN + "' --calibrate-mic");
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_NE(run.err.find("too few clicks"), std::string::npos) << run.err;
    EXPECT_EQ(test::readFile(ini), "");
}

}  // namespace
}  // namespace orba
