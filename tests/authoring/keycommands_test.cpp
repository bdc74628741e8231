#include "authoring/keycommands.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "settings/playerstate.h"
#include "settings/settings.h"

namespace orba {
namespace {

// Plays the player's part and writes down every call in order.
class FakeTarget : public KeyTarget {
public:
    int mode = 2;  // 2 playing, 5 paused, 1 stopped
    int position = 0;
    int length = 60000;
    bool volumeReadable = true;
    unsigned int volume = 50;
    std::vector<std::string> calls;

    void toggleFullScreen() override { calls.push_back("fullScreen"); }
    bool devicePlaying() override { return mode == 2; }
    bool devicePaused() override { return mode == 5; }
    void togglePause() override {
        calls.push_back("pause");
        mode = mode == 2 ? 5 : 2;
    }
    int devicePosition() override { return position; }
    int deviceLength() override { return length; }
    void stopDevice() override { calls.push_back("stop"); }
    void setStartPosition(int ms) override { calls.push_back("start " + std::to_string(ms)); }
    void playDevice() override {
        calls.push_back("play");
        position = 1234;
    }
    void waitUntilPlaying() override { calls.push_back("wait"); }
    void stepSong(int offset) override { calls.push_back("step " + std::to_string(offset)); }
    std::string playList() override {
        calls.push_back("playList");
        return "[1/1]|> a.mp3|";
    }
    void drawFrame() override { calls.push_back("frame"); }
    bool getMasterVolume(unsigned int& percent) override {
        if (volumeReadable) percent = volume;
        return volumeReadable;
    }
    void setMasterVolume(unsigned int percent) override {
        calls.push_back("volume " + std::to_string(percent));
    }
    std::string savePerSongSettings() override {
        calls.push_back("perSong");
        return "/m/a.oka";
    }
    std::string writeTextExport(TextExport kind) override {
        calls.push_back(kind == TextExport::Plain ? "plain" : "safe");
        return kind == TextExport::Plain ? "/m/a_plain.txt" : "/m/a_safe.txt";
    }
    void loadSong() override { calls.push_back("loadSong"); }
    void timeEditKey(int code) override { calls.push_back("edit " + std::to_string(code)); }
};

using Calls = std::vector<std::string>;

class KeyCommands : public ::testing::Test {
protected:
    KeyCommands() {
        settings.useBgm = true;
        settings.useMessage = true;
        settings.bgmFile = "/m/a.mp3";
    }
    VirtualKey press(int code, bool ctrl = false, bool alt = false, bool shift = false) {
        VirtualKey key{code, shift, ctrl, alt};
        keyDown(key, settings, state, target);
        return key;
    }
    VirtualKey press(char letter, bool ctrl = false) { return press(vk::letter(letter), ctrl); }

    Settings settings;
    PlayerState state;
    FakeTarget target;
};

TEST_F(KeyCommands, TextBackCyclesThroughFourValuesAndPostsEach) {
    std::vector<std::string> seen;
    for (int i = 0; i < 4; ++i) {
        press('T');
        seen.push_back(state.statusMessage);
    }
    EXPECT_EQ(seen, (std::vector<std::string>{"TextBack : 1", "TextBack : 2", "TextBack : 3",
                                              "TextBack : 0"}));
}

TEST_F(KeyCommands, EveryToggleAndCyclePostsItsLabelAndNewValue) {
    settings.wipeStyle = 1;
    settings.backgroundType = 4;
    settings.showNext = true;
    struct Case {
        char key;
        std::string message;
    } cases[] = {
        {'D', "DebugMode : 1"},    {'P', "OrbaObject : 1"}, {'N', "NextMessage : 0"},
        {'W', "WipeStyle : 0"},    {'S', "SceneStyle : 0"}, {'Z', "NoiseType : 1"},
        {'I', "ImageDspType : 1"},
    };
    for (const Case& c : cases) {
        press(c.key);
        EXPECT_EQ(state.statusMessage, c.message) << c.key;
    }
    EXPECT_TRUE(target.calls.empty());
}

TEST_F(KeyCommands, ANegativeValueFromTheSettingsFileClimbsBackThroughZero) {
    EXPECT_EQ(cycled(-2, 4), -1);
    EXPECT_EQ(cycled(-1, 4), 0);
    EXPECT_EQ(cycled(5, 6), 0);
    settings.imageStyle = -2;
    press('I');
    EXPECT_EQ(state.statusMessage, "ImageDspType : -1");
}

TEST_F(KeyCommands, CtrlWCyclesTheWipeButCtrlSAndCtrlPExport) {
    press('W', true);
    EXPECT_EQ(state.statusMessage, "WipeStyle : 0");
    press('S', true);
    EXPECT_EQ(settings.backgroundType, 1);
    EXPECT_EQ(state.statusMessage, "\"a_safe.txt\" save completed.");
    press('P', true);
    EXPECT_FALSE(state.orbaObject);
    EXPECT_EQ(state.statusMessage, "\"a_plain.txt\" save completed.");
    EXPECT_EQ(target.calls, (Calls{"safe", "plain"}));
}

TEST_F(KeyCommands, EnterShowsTheQuickReferenceAndAltEnterOnlyTogglesFullScreen) {
    press(vk::Return);
    EXPECT_EQ(state.statusMessage.substr(0, 15), "D : DebugMode|N");
    EXPECT_EQ(state.statusTime, 10000);
    state.statusMessage.clear();
    press(vk::Return, false, true);
    EXPECT_EQ(target.calls, (Calls{"fullScreen"}));
    EXPECT_EQ(state.statusMessage, "");
}

TEST_F(KeyCommands, SpacePausesAndResumesOnlyAPlayingOrPausedDevice) {
    press(vk::Space);
    EXPECT_EQ(state.statusMessage, "PAUSE");
    press(vk::Space);
    EXPECT_EQ(state.statusMessage, "PLAYING");
    target.mode = 1;
    state.statusMessage.clear();
    press(vk::Space);
    EXPECT_EQ(state.statusMessage, "");
    EXPECT_EQ(target.calls, (Calls{"pause", "pause"}));
}

TEST_F(KeyCommands, SongKeysStepTheFolderAndShowThePlayList) {
    for (int code : {vk::Digit0 + 4, vk::Numpad0 + 4, vk::Left}) {
        target.calls.clear();
        VirtualKey key = press(code);
        EXPECT_EQ(target.calls, (Calls{"step -1", "playList", "frame"})) << code;
        EXPECT_EQ(key.code, vk::letter('L'));
    }
    for (int code : {vk::Digit0 + 6, vk::Numpad0 + 6, vk::Right}) {
        target.calls.clear();
        press(code, false, false, true);  // Shift does not matter
        EXPECT_EQ(target.calls, (Calls{"step 1", "playList", "frame"})) << code;
    }
    EXPECT_EQ(state.statusMessage, "[1/1]|> a.mp3|");
}

TEST_F(KeyCommands, WithoutMusicTheSongKeysAndCtrlF9DoNothing) {
    settings.useBgm = false;
    for (int code : {vk::Left, vk::Right, vk::Digit0 + 4, vk::Numpad0 + 6}) press(code);
    press(vk::F9, true);
    EXPECT_TRUE(target.calls.empty());
    EXPECT_EQ(state.statusMessage, "");
    // The play list itself does not need music.
    press('L');
    EXPECT_EQ(target.calls, (Calls{"playList", "frame"}));
}

TEST_F(KeyCommands, SeekMovesTwoSecondsWithinTheSong) {
    struct Case {
        bool forward;
        int position, length, expected;
    } cases[] = {
        {true, 59500, 60000, 59000},  // never past a second before the end
        {false, 1500, 60000, 0},     {true, 10000, 60000, 12000}, {false, 10000, 60000, 8000},
        {true, 100, 500, 0},  // a song shorter than a second starts over, not before 0
    };
    for (const Case& c : cases)
        EXPECT_EQ(seekTarget(c.forward, c.position, c.length), c.expected)
            << c.position << " of " << c.length;
}

TEST_F(KeyCommands, CtrlRightRestartsPlaybackFurtherOn) {
    target.position = 59500;
    press(vk::Right, true);
    EXPECT_EQ(state.statusMessage, "Fastforward!");
    EXPECT_EQ(target.calls, (Calls{"stop", "start 59000", "play"}));
}

TEST_F(KeyCommands, MidiSeeksForwardWaitsForPlayingButNeverRewinds) {
    state.isMidi = true;
    target.position = 5000;
    press(vk::Left, true);
    EXPECT_TRUE(target.calls.empty());
    press(vk::Right, true);
    EXPECT_EQ(target.calls, (Calls{"stop", "start 7000", "play", "wait"}));
    EXPECT_EQ(state.songTime, 1234);
}

TEST_F(KeyCommands, SeekWhilePausedDoesNothing) {
    target.mode = 5;
    press(vk::Left, true);
    press(vk::Right, true);
    EXPECT_TRUE(target.calls.empty());
    EXPECT_EQ(state.statusMessage, "");
}

TEST_F(KeyCommands, VolumeStepsByFiveWithinZeroAndHundred) {
    struct Case {
        unsigned int from;
        int key;
        std::string expected;
    } cases[] = {
        {97, vk::Up, "volume 100"}, {100, vk::Up, "volume 100"}, {3, vk::Down, "volume 0"},
        {0, vk::Down, "volume 0"},  {23, vk::Down, "volume 15"},
    };
    for (const Case& c : cases) {
        target.calls.clear();
        target.volume = c.from;
        press(c.key);
        EXPECT_EQ(target.calls, (Calls{c.expected})) << c.from;
    }
    EXPECT_EQ(state.statusMessage, "Master Volume : 15");
}

TEST_F(KeyCommands, AnUnreadableMixerStepsFromTheConfiguredVolume) {
    target.volumeReadable = false;
    settings.volume = 20;
    press(vk::Up);
    EXPECT_EQ(state.statusMessage, "Master Volume : 25");
}

TEST_F(KeyCommands, CtrlF9SavesThePerSongFileAndNamesIt) {
    press(vk::F9, true);
    EXPECT_EQ(state.statusMessage, "\"a.oka\" save completed.");
    settings.bgmFile.clear();  // a folder that vanished left no song
    state.statusMessage.clear();
    press(vk::F9, true);
    EXPECT_EQ(target.calls, (Calls{"perSong"}));
    EXPECT_EQ(state.statusMessage, "");
}

TEST_F(KeyCommands, ExportsNeedTheLyrics) {
    settings.useMessage = false;
    press('P', true);
    press('S', true);
    EXPECT_TRUE(target.calls.empty());
}

TEST_F(KeyCommands, EscapeLeavesEditModeAndReloadsTheSong) {
    state.timeEditMode = true;
    press(vk::Escape);
    EXPECT_FALSE(state.timeEditMode);
    EXPECT_EQ(target.calls, (Calls{"loadSong"}));
}

TEST_F(KeyCommands, EditModeTakesSpaceBackspaceAndF6InsteadOfPause) {
    state.timeEditMode = true;
    for (int code : {vk::Space, vk::Back, vk::F6, vk::F1}) press(code);
    EXPECT_EQ(target.calls, (Calls{"edit 32", "edit 8", "edit 117"}));
    target.calls.clear();
    settings.useMessage = false;
    press(vk::Space);
    EXPECT_TRUE(target.calls.empty());
}

}  // namespace
}  // namespace orba
