// The singer's controls as the user hears them: each song plays through the
// real pipeline into a recording sink, and the recording is measured.
#include <gtest/gtest.h>

#include <cstdlib>

#include "playback/mediadevice.h"
#include "tests/playback/mediafixtures.h"
#include "tests/playback/soundcapture.h"
#include "tests/support/midiwriter.h"
#include "tests/support/tempdir.h"

namespace orba::test {
namespace {

constexpr double kA4 = 440.0;
constexpr double kB4 = 493.883;  // two semitones up
constexpr double kE5 = 659.255;
constexpr int kSongMs = 3000;
constexpr int kTimeoutMs = 20000;

// A held note on channel 1 (and one on channel 2 when `e5` is given), played
// by a flute: its first harmonic is by far its strongest.
std::string heldNotesMidi(bool withE5) {
    MidiWriter w(480);
    w.program(0, 0, 0, 73).note(0, 0, 2880, 69, 0);
    if (withE5) w.program(0, 0, 1, 73).note(0, 0, 2880, 76, 1);
    w.endAt(0, 2880);  // 3000 ms at the default 120 bpm
    return w.bytes();
}

class SingerAudio : public ::testing::Test {
protected:
    void SetUp() override { record(false); }
    void TearDown() override { ::unsetenv("ORBAKARAOKE_AUDIO_SINK"); }
    void record(bool realTime) {
        ::setenv("ORBAKARAOKE_AUDIO_SINK", captureSink(recording, realTime).c_str(), 1);
    }
    // Plays `music` with the device as it is set and returns what was heard.
    StereoSound heard(const std::string& music) {
        EXPECT_TRUE(playThrough(device, music, kTimeoutMs)) << music;
        return readWav(recording);
    }

    TempDir dir;
    std::string recording = dir.file("heard.wav");
    MediaDevice device;
};

class SampledSingerAudio : public SingerAudio, public ::testing::WithParamInterface<std::string> {
protected:
    std::string song(const StereoSound& sound) {
        std::string path = dir.file("song" + GetParam());
        EXPECT_TRUE(writeSound(path, sound));
        return path;
    }
};

TEST_P(SampledSingerAudio, TwoSemitonesUpTurnsAnAIntoAB) {
    std::string music = song(sine(kA4, kSongMs));
    device.setKey(2);
    StereoSound out = heard(music);
    EXPECT_NEAR(strongestHz(out.left, 500, 2500, 300, 700), kB4, kB4 * 0.01);
    EXPECT_NEAR(out.ms(), kSongMs, 100);  // the tempo stays
}

TEST_P(SampledSingerAudio, EightyPercentTempoPlaysLongerAtTheSamePitch) {
    std::string music = song(sine(kA4, kSongMs));
    device.setTempo(80);
    StereoSound out = heard(music);
    EXPECT_NEAR(out.ms(), kSongMs / 0.8, 80);
    EXPECT_NEAR(strongestHz(out.left, 500, 3000, 300, 700), kA4, kA4 * 0.01);
}

TEST_P(SampledSingerAudio, PlayingFromAPositionGoesOnAtTheSingersTempo) {
    std::string music = song(sine(kA4, kSongMs));
    device.setTempo(80);
    device.open(music);
    device.setStartPosition(1000);
    device.play();
    ASSERT_TRUE(waitForMode(device, kModeStopped, kTimeoutMs));
    EXPECT_EQ(device.position(), device.length());
    device.close();
    StereoSound out = readWav(recording);
    EXPECT_NEAR(out.ms(), (kSongMs - 1000) / 0.8, 80);
    EXPECT_NEAR(strongestHz(out.left, 200, 2000, 300, 700), kA4, kA4 * 0.01);
}

// Measured as a speaker that adds the two channels hears it: the centre
// goes from each channel and from the sum, what is on one side stays in the sum.
TEST_P(SampledSingerAudio, VocalCutTakesOutTheCentreAndKeepsWhatIsOnOneSideForAMonoSpeaker) {
    std::string music = song(mix(sine(kA4, kSongMs), sine(kE5, kSongMs, true)));
    StereoSound before = heard(music);
    device.setVocalCut(true);
    StereoSound after = heard(music);
    ASSERT_GT(after.ms(), 2000);
    EXPECT_LE(levelDb(after.left, 500, 2500, kA4), levelDb(before.left, 500, 2500, kA4) - 20);
    EXPECT_LE(levelDb(after.right, 500, 2500, kA4), levelDb(before.right, 500, 2500, kA4) - 20);
    const std::vector<float> sumBefore = channelSum(before);
    const std::vector<float> sumAfter = channelSum(after);
    EXPECT_LE(levelDb(sumAfter, 500, 2500, kA4), levelDb(sumBefore, 500, 2500, kA4) - 20);
    EXPECT_NEAR(levelDb(sumAfter, 500, 2500, kE5), levelDb(sumBefore, 500, 2500, kE5), 3);

    device.setVocalCut(false);  // and off again is the song as it was
    StereoSound again = heard(music);
    EXPECT_NEAR(levelDb(again.left, 500, 2500, kA4), levelDb(before.left, 500, 2500, kA4), 0.5);
}

INSTANTIATE_TEST_SUITE_P(Types, SampledSingerAudio, ::testing::Values(".wav", ".ogg", ".mp3"),
                         musicTypeName);

TEST_F(SingerAudio, AtNeutralARecordingIsHeardSampleForSample) {
    std::string music = dir.file("song.wav");
    ASSERT_TRUE(writeSound(music, mix(sine(kA4, 1000), sine(kE5, 1000, true))));
    const StereoSound source = readWav(music);
    // Controls that went somewhere and came back leave nothing in the chain.
    device.setKey(3);
    device.setTempo(120);
    device.setVocalCut(true);
    device.setKey(0);
    device.setTempo(100);
    device.setVocalCut(false);
    StereoSound out = heard(music);
    ASSERT_EQ(out.left.size(), source.left.size());
    int differ = 0;
    for (std::size_t i = 0; i < out.left.size(); ++i)
        differ += out.left[i] != source.left[i] || out.right[i] != source.right[i];
    EXPECT_EQ(differ, 0);
}

TEST_F(SingerAudio, AKaraokeVideosSoundTakesTheKeyAndTheTempo) {
    // Three seconds of pictures over a 440 Hz tone.
    const std::string video = dir.file("song.mp4");
    ASSERT_TRUE(writeColourVideo(video, {"red", "green", "blue"}));
    device.setKey(2);
    device.setTempo(80);
    StereoSound out = heard(video);
    EXPECT_NEAR(strongestHz(out.left, 500, 3000, 300, 700), kB4, kB4 * 0.01);
    EXPECT_NEAR(out.ms(), kSongMs / 0.8, 120);
}

TEST_F(SingerAudio, AMidiSongMovesTwoSemitonesInTheSynthesizer) {
    std::string music = dir.file("song.mid");
    writeFile(music, heldNotesMidi(false));
    device.setKey(2);
    StereoSound out = heard(music);
    EXPECT_NEAR(strongestHz(out.left, 500, 2500, 300, 700), kB4, kB4 * 0.01);
    EXPECT_NEAR(out.ms(), kSongMs, 60);
}

TEST_F(SingerAudio, AMidiSongAtEightyPercentPlaysLongerAndKeepsItsPitch) {
    std::string music = dir.file("song.mid");
    writeFile(music, heldNotesMidi(false));
    device.setTempo(80);
    StereoSound out = heard(music);
    EXPECT_NEAR(out.ms(), kSongMs / 0.8, 60);
    EXPECT_NEAR(strongestHz(out.left, 500, 3000, 300, 700), kA4, kA4 * 0.01);
}

TEST_F(SingerAudio, TheKeyLeavesTheDrumsOfChannelTenAsTheyAre) {
    MidiWriter w(480);
    for (std::uint32_t beat = 0; beat < 6; ++beat)
        w.note(0, beat * 480, 120, 38, 9).note(0, beat * 480 + 240, 120, 42, 9);
    w.endAt(0, 2880);
    std::string music = dir.file("drums.mid");
    writeFile(music, w.bytes());
    StereoSound neutral = heard(music);
    device.setKey(6);
    StereoSound shifted = heard(music);
    ASSERT_GT(neutral.ms(), 2000);
    EXPECT_EQ(shifted.left, neutral.left);
    EXPECT_EQ(shifted.right, neutral.right);
}

TEST_F(SingerAudio, MelodyMuteSilencesOneMidiChannelAndVocalCutLeavesMidiAlone) {
    std::string music = dir.file("song.mid");
    writeFile(music, heldNotesMidi(true));
    StereoSound before = heard(music);
    device.setMelodyMute(1);
    device.setVocalCut(true);  // nothing to cut in a MIDI song
    StereoSound after = heard(music);
    EXPECT_LE(levelDb(after.left, 500, 2500, kA4), levelDb(before.left, 500, 2500, kA4) - 20);
    EXPECT_NEAR(levelDb(after.left, 500, 2500, kE5), levelDb(before.left, 500, 2500, kE5), 1);

    device.setMelodyMute(0);
    StereoSound again = heard(music);
    EXPECT_NEAR(levelDb(again.left, 500, 2500, kA4), levelDb(before.left, 500, 2500, kA4), 1);
}

}  // namespace
}  // namespace orba::test
