#include "authoring/keycommands.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

#include "platform/profilefile.h"
#include "settings/playerstate.h"
#include "settings/settings.h"

namespace orba {
namespace {

using Calls = std::vector<std::string>;

// Plays the player's part and writes down every call in order.
class FakeTarget : public KeyTarget {
public:
    int mode = 2;  // 2 playing, 5 paused, 1 stopped
    int position = 0;
    bool volumeReadable = true;
    unsigned int volume = 50;
    bool refuseWrites = false;
    Calls calls;

    void toggleFullScreen() override { calls.push_back("fullScreen"); }
    bool devicePlaying() override { return mode == 2; }
    bool devicePaused() override { return mode == 5; }
    void togglePause() override { mode = mode == 2 ? 5 : 2; }
    int devicePosition() override { return position; }
    int deviceLength() override { return 60000; }
    void stopDevice() override { calls.push_back("stop"); }
    void setStartPosition(int ms) override { calls.push_back("start " + std::to_string(ms)); }
    void playDevice() override {
        calls.push_back("play");
        position = 1234;
    }
    void waitUntilPlaying() override { calls.push_back("wait"); }
    void stepSong(int offset) override { calls.push_back("step " + std::to_string(offset)); }
    std::string playList() override { return note("playList", "[1/1]|> a.mp3|"); }
    void drawFrame() override { calls.push_back("frame"); }
    bool getMasterVolume(unsigned int& percent) override {
        if (volumeReadable) percent = volume;
        return volumeReadable;
    }
    void setMasterVolume(unsigned int v) override {
        calls.push_back("volume " + std::to_string(v));
    }
    std::string savePerSongSettings() override {
        if (refuseWrites) throw ProfileWriteError("/m/a.oka");
        return note("perSong", "/m/a.oka");
    }
    std::string writeTextExport(TextExport kind) override {
        calls.push_back(kind == TextExport::Plain ? "plain" : "safe");
        return kind == TextExport::Plain ? "/m/a_plain.txt" : "/m/a_safe.txt";
    }
    void loadSong() override { calls.push_back("loadSong"); }
    void timeEditKey(int code) override { calls.push_back("edit " + std::to_string(code)); }

private:
    std::string note(const char* call, const char* result) {
        calls.push_back(call);
        return result;
    }
};

class KeyCommands : public ::testing::Test {
protected:
    KeyCommands() {
        settings.useBgm = true;
        settings.useMessage = true;
        settings.bgmFile = "/m/a.mp3";
    }
    VirtualKey press(int code, bool ctrl = false, bool alt = false) {
        VirtualKey key{code, false, ctrl, alt};
        keyDown(key, settings, state, target);
        return key;
    }
    VirtualKey press(char letter, bool ctrl = false) { return press(vk::letter(letter), ctrl); }
    const std::string& message() const { return state.statusMessage; }

    Settings settings;
    PlayerState state;
    FakeTarget target;
};

TEST_F(KeyCommands, TogglesAndCyclesPostTheirLabelAndNewValue) {
    settings.backgroundType = 4;
    struct Case {
        char key;
        const char* message;
    } cases[] = {
        {'T', "TextBack : 1"},    {'T', "TextBack : 2"},     {'T', "TextBack : 3"},
        {'T', "TextBack : 0"},    {'D', "DebugMode : 1"},    {'P', "OrbaObject : 1"},
        {'N', "NextMessage : 0"}, {'W', "WipeStyle : 0"},    {'S', "SceneStyle : 0"},
        {'Z', "NoiseType : 1"},   {'I', "ImageDspType : 1"},
    };
    for (const Case& c : cases) {
        press(c.key);
        EXPECT_EQ(message(), c.message) << c.key;
    }
    EXPECT_TRUE(target.calls.empty());
    // A negative value from the settings file climbs back through 0.
    settings.imageStyle = -2;
    press('I');
    EXPECT_EQ(message(), "ImageDspType : -1");
}

TEST(CycledSetting, TheLargestAndSmallestIntFromAHandEditedFileStepOnWithoutOverflow) {
    EXPECT_EQ(cycled(INT_MAX, 6), 2);  // 2^31 % 6
    EXPECT_EQ(cycled(INT_MAX, 5), 3);
    EXPECT_EQ(cycled(INT_MIN, 4), -3);
    EXPECT_EQ(cycled(-1, 4), 0);
}

TEST_F(KeyCommands, CtrlWCyclesTheWipeWhileCtrlSAndCtrlPExportTheLyrics) {
    press('W', true);
    EXPECT_EQ(message(), "WipeStyle : 0");
    press('S', true);
    EXPECT_EQ(settings.backgroundType, 1);
    EXPECT_EQ(message(), "\"a_safe.txt\" save completed.");
    press('P', true);
    EXPECT_FALSE(state.orbaObject);
    EXPECT_EQ(message(), "\"a_plain.txt\" save completed.");
    settings.useMessage = false;
    press('P', true);
    EXPECT_EQ(target.calls, (Calls{"safe", "plain"}));
}

TEST_F(KeyCommands, EnterShowsTheQuickReferenceAndAltEnterOnlyTogglesFullScreen) {
    press(vk::Return);
    EXPECT_EQ(message().substr(0, 15), "D : DebugMode|N");
    EXPECT_EQ(state.statusTime, 10000);
    state.statusMessage.clear();
    press(vk::Return, false, true);
    EXPECT_EQ(target.calls, (Calls{"fullScreen"}));
    EXPECT_EQ(message(), "");
}

TEST_F(KeyCommands, SpacePausesAndResumesOnlyAPlayingOrPausedDevice) {
    press(vk::Space);
    EXPECT_EQ(message(), "PAUSE");
    press(vk::Space);
    EXPECT_EQ(message(), "PLAYING");
    target.mode = 1;
    press(vk::Space);
    EXPECT_EQ(target.mode, 1);
}

TEST_F(KeyCommands, SongKeysStepTheFolderAndShowThePlayList) {
    struct Case {
        int code;
        const char* step;
    } cases[] = {
        {vk::Digit0 + 4, "step -1"}, {vk::Numpad0 + 4, "step -1"}, {vk::Left, "step -1"},
        {vk::Digit0 + 6, "step 1"},  {vk::Numpad0 + 6, "step 1"},  {vk::Right, "step 1"},
    };
    for (const Case& c : cases) {
        target.calls.clear();
        EXPECT_EQ(press(c.code).code, vk::letter('L'));
        EXPECT_EQ(target.calls, (Calls{c.step, "playList", "frame"})) << c.code;
    }
    EXPECT_EQ(message(), "[1/1]|> a.mp3|");
}

TEST_F(KeyCommands, WithoutMusicTheSongKeysAndCtrlF9DoNothing) {
    settings.useBgm = false;
    for (int code : {vk::Left, vk::Right, vk::Digit0 + 4, vk::Numpad0 + 6}) press(code);
    press(vk::F9, true);
    EXPECT_TRUE(target.calls.empty());
    EXPECT_EQ(message(), "");
}

TEST_F(KeyCommands, SeekMovesTwoSecondsWithinTheSong) {
    struct Case {
        bool forward;
        int position, length, expected;
    } cases[] = {
        {true, 59500, 60000, 59000},  // never past a second before the end
        {false, 1500, 60000, 0},     {true, 10000, 60000, 12000},
        {false, 10000, 60000, 8000}, {true, 100, 500, 0},  // never before 0
    };
    for (const Case& c : cases)
        EXPECT_EQ(seekTarget(c.forward, c.position, c.length), c.expected) << c.position;
}

TEST_F(KeyCommands, MidiSeeksForwardAndWaitsButNeverRewindsAndPausedNeverSeeks) {
    state.isMidi = true;
    target.position = 5000;
    target.mode = 5;  // paused: no seek either way
    press(vk::Right, true);
    target.mode = 2;
    press(vk::Left, true);
    EXPECT_TRUE(target.calls.empty());
    press(vk::Right, true);
    EXPECT_EQ(message(), "Fastforward!");
    EXPECT_EQ(target.calls, (Calls{"stop", "start 7000", "play", "wait"}));
    EXPECT_EQ(state.songTime, 1234);
}

TEST_F(KeyCommands, VolumeStepsByFiveWithinZeroAndHundred) {
    struct Case {
        bool readable;
        unsigned int from;
        int key;
        const char* message;
    } cases[] = {
        {true, 97, vk::Up, "Master Volume : 100"}, {true, 100, vk::Up, "Master Volume : 100"},
        {true, 3, vk::Down, "Master Volume : 0"},  {true, 23, vk::Down, "Master Volume : 15"},
        {false, 50, vk::Up, "Master Volume : 25"},  // from the configured 20
    };
    for (const Case& c : cases) {
        target.volumeReadable = c.readable;
        target.volume = c.from;
        press(c.key);
        EXPECT_EQ(message(), c.message) << c.from;
    }
}

TEST_F(KeyCommands, CtrlF9SavesThePerSongFileAndNamesIt) {
    press(vk::F9, true);
    EXPECT_EQ(message(), "\"a.oka\" save completed.");
    state.statusMessage.clear();
    target.refuseWrites = true;
    EXPECT_THROW(press(vk::F9, true), ProfileWriteError);
    settings.bgmFile.clear();  // a folder that vanished left no song
    press(vk::F9, true);
    EXPECT_EQ(message(), "");
}

TEST_F(KeyCommands, EditModeTakesSpaceBackspaceAndF6InsteadOfPause) {
    state.timeEditMode = true;
    for (int code : {vk::Space, vk::Back, vk::F6, vk::F1}) press(code);
    EXPECT_EQ(target.calls, (Calls{"edit 32", "edit 8", "edit 117"}));
    EXPECT_EQ(target.mode, 2);
    settings.useMessage = false;
    press(vk::Space);
    EXPECT_EQ(target.calls.size(), 3u);
    // Escape ends edit mode and starts the song again.
    press(vk::Escape);
    EXPECT_FALSE(state.timeEditMode);
    EXPECT_EQ(target.calls.back(), "loadSong");
}

}  // namespace
}  // namespace orba
