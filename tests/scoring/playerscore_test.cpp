// Scoring inside the player: off until K, a lane only while on, a voice
// that cannot be opened or is lost leaving the song to play on unscored,
// and the results screen when the song is over.
#include <gtest/gtest.h>

#include <algorithm>

#include "player/command.h"
#include "scoring/scorer.h"
#include "scoring/scorescreens.h"
#include "scoring/scoringrules.h"
#include "scoring/voiceinput.h"
#include "tests/support/singsong.h"
#include "tools/headlessplayer.h"

namespace orba {
namespace {

// A voice that sings the song's melody as plain pitches, until told it is gone.
struct VoiceControl {
    std::string problem;
    int takes = 0;
};

class MelodyVoice : public VoiceInput {
public:
    explicit MelodyVoice(std::shared_ptr<VoiceControl> control) : m_control(std::move(control)) {}
    std::vector<PitchSample> take(int songMs, int) override {
        ++m_control->takes;
        std::vector<PitchSample> out;
        for (; m_at < songMs; m_at += 10) {
            float hz = 0;
            for (const test::SungTone& n : test::singSongMelody())
                if (m_at >= n.startMs && m_at < n.endMs) hz = float(hzOfMidiKey(n.key));
            out.push_back({m_at, hz, 10.0f});
        }
        return out;
    }
    std::string problem() const override { return m_control->problem; }

private:
    std::shared_ptr<VoiceControl> m_control;
    int m_at = 0;
};

class ScoredSong : public ::testing::Test {
protected:
    void SetUp() override {
        test::writeFile(m_song, test::singSongMidi());
        sim.player().setVoiceFactory([this](std::string&) -> std::unique_ptr<VoiceInput> {
            return std::make_unique<MelodyVoice>(control);
        });
    }
    void load(bool scoring) {
        sim.player().state().scoring = scoring;
        sim.loadMusicFile(m_song);
    }
    void runUntil(int ms) {
        while (!sim.ended() && sim.state().songTime < ms) sim.nextClockFrame();
    }
    int differingPixels(const Bitmap& a, const Bitmap& b, const Rect& r) {
        int n = 0;
        for (int y = r.top; y < r.bottom; ++y)
            for (int x = r.left; x < r.right; ++x)
                n += a.canvas().pixel(x, y) != b.canvas().pixel(x, y);
        return n;
    }

    test::TempDir m_dir;
    std::string m_song = m_dir.file("song.mid");
    std::shared_ptr<VoiceControl> control = std::make_shared<VoiceControl>();
    HeadlessPlayer sim{false};
};

TEST(ScoreKey, KSwitchesScoring) {
    Settings s;
    PlayerState st;
    EXPECT_EQ(decideKey(VirtualKey{vk::letter('K')}, s, st).kind, CommandKind::ScoreToggle);
    EXPECT_EQ(decideKey(VirtualKey{vk::letter('K'), false, true}, s, st).kind, CommandKind::None);
}

TEST_F(ScoredSong, IsOffUntilAskedAndThenScoresTheSinging) {
    load(false);
    runUntil(4200);
    EXPECT_EQ(sim.player().scorer(), nullptr);
    EXPECT_EQ(control->takes, 0);  // no voice is even opened

    sim.player().run(Command(CommandKind::ScoreToggle));
    ASSERT_NE(sim.player().scorer(), nullptr);
    EXPECT_EQ(referenceName(sim.player().scorer()->reference()), "MIDI channel 2");
    runUntil(100000);
    // Switched on before the second line: the lines from there on.
    EXPECT_EQ(sim.player().scorer()->total(), kFullScore);
    EXPECT_EQ(sim.player().scorer()->results().size(), 3u);

    sim.player().run(Command(CommandKind::ScoreToggle));
    EXPECT_EQ(sim.player().scorer(), nullptr);
}

TEST_F(ScoredSong, DrawsTheLaneOnlyWhileOnAndTheResultsAtTheEnd) {
    HeadlessPlayer plain(false);
    plain.loadMusicFile(m_song);
    load(true);
    Bitmap a(800, 600), b(800, 600);
    const Rect lane = noteLaneRect(frameValuesFor(800, 600, 15, false));
    for (int k = 0; k < 200; ++k) {  // 3 s: the first line is being sung
        plain.nextDrawnFrame(a, 800, 600);
        sim.nextDrawnFrame(b, 800, 600);
    }
    // The bars of the line being sung, in the lane's place.
    EXPECT_GT(differingPixels(a, b, lane), 1000);

    while (!sim.ended()) sim.nextDrawnFrame(b, 800, 600);
    sim.nextDrawnFrame(b, 800, 600);
    // The results' gold rules across the frame.
    EXPECT_EQ(b.canvas().pixel(400, 600 / 5), 0x00C0FFu);
    EXPECT_EQ(sim.player().scorer()->total(), kFullScore);
}

TEST_F(ScoredSong, TheChannelMMutesIsTheMelodyFromThenOn) {
    load(true);
    runUntil(4200);
    ASSERT_EQ(sim.player().scorer()->reference().channel, 2);
    sim.player().run(Command(CommandKind::MelodyMute));  // channel 1, the chords
    sim.nextClockFrame();
    const Scorer* scorer = sim.player().scorer();
    ASSERT_NE(scorer, nullptr);
    EXPECT_EQ(scorer->reference().channel, 1);
    EXPECT_TRUE(scorer->reference().channelByMute);
    EXPECT_NE(sim.state().statusMessage.find("MIDI channel 1 (the muted melody)"),
              std::string::npos);
    // Only what comes from then on is scored.
    EXPECT_TRUE(std::all_of(scorer->notes().begin(), scorer->notes().end(),
                            [](const RefNote& n) { return n.startMs >= 4200; }));
}

TEST_F(ScoredSong, AVoiceThatCannotBeOpenedLeavesTheSongUnscored) {
    sim.player().setVoiceFactory([](std::string& why) -> std::unique_ptr<VoiceInput> {
        why = "no microphone (test)";
        return nullptr;
    });
    load(true);
    runUntil(100);  // the voice is opened when the song's clock starts
    EXPECT_EQ(sim.player().scorer(), nullptr);
    EXPECT_NE(sim.state().statusMessage.find("no microphone (test)"), std::string::npos);
    EXPECT_NE(sim.state().statusMessage.find("unscored"), std::string::npos);
    runUntil(100000);
    EXPECT_TRUE(sim.ended());
}

TEST_F(ScoredSong, AVoiceLostMidSongIsSaidAndTheSongPlaysOn) {
    load(true);
    runUntil(5000);
    ASSERT_NE(sim.player().scorer(), nullptr);
    control->problem = "the microphone stopped: unplugged";
    sim.nextClockFrame();
    EXPECT_EQ(sim.player().scorer(), nullptr);
    EXPECT_NE(sim.state().statusMessage.find("unplugged"), std::string::npos);
    const int takes = control->takes;
    runUntil(100000);
    EXPECT_TRUE(sim.ended());
    EXPECT_EQ(control->takes, takes);
}

}  // namespace
}  // namespace orba
