// Keys as commands: which command a key means (decideKey, pure), and what
// the player does when it runs one, over a simulated transport.
#include <gtest/gtest.h>

#include <climits>
#include <cstdlib>
#include <fstream>

#include "authoring/keycommands.h"
#include "platform/bitmap.h"
#include "playback/mediadevice.h"
#include "playback/simulatedtransport.h"
#include "player/command.h"
#include "player/player.h"
#include "tests/support/tempdir.h"

namespace orba {
namespace {

VirtualKey key(int code, bool ctrl = false, bool alt = false) {
    return VirtualKey{code, false, ctrl, alt};
}
VirtualKey letter(char c, bool ctrl = false) {
    return key(vk::letter(c), ctrl);
}

struct Decisions : ::testing::Test {
    Settings s;
    PlayerState st;
    Decisions() {
        s.useBgm = true;
        s.useMessage = true;
        s.bgmFile = "/m/a.mp3";
    }
    Command decide(const VirtualKey& k) { return decideKey(k, s, st); }
};

TEST_F(Decisions, EachKeyMeansOneCommand) {
    struct Case {
        VirtualKey key;
        CommandKind kind;
        int value;
    } cases[] = {
        {key(vk::Return), CommandKind::QuickReference, 0},
        {key(vk::Return, false, true), CommandKind::FullScreen, 0},
        {letter('D'), CommandKind::LookToggle, 'D'},
        {letter('W', true), CommandKind::LookToggle, 'W'},  // Ctrl does not matter here
        {letter('P'), CommandKind::LookToggle, 'P'},
        {letter('P', true), CommandKind::TextExport, 0},
        {letter('S', true), CommandKind::TextExport, 1},
        {key(vk::Space), CommandKind::PauseToggle, 0},
        {key(vk::Digit0 + 4), CommandKind::StepSong, -1},
        {key(vk::Numpad0 + 4), CommandKind::StepSong, -1},
        {key(vk::Left), CommandKind::StepSong, -1},
        {key(vk::Numpad0 + 6), CommandKind::StepSong, +1},
        {key(vk::Right), CommandKind::StepSong, +1},
        {letter('L'), CommandKind::PlayList, 0},
        {key(vk::Left, true), CommandKind::Seek, -1},
        {key(vk::Right, true), CommandKind::Seek, +1},
        {key(vk::Up), CommandKind::Volume, +1},
        {key(vk::Down), CommandKind::Volume, -1},
        {key(vk::F9, true), CommandKind::SavePerSong, 0},
        {key(vk::Escape), CommandKind::Restart, 0},
        {key(vk::F6), CommandKind::None, 0},
    };
    for (const Case& c : cases) {
        const Command got = decide(c.key);
        EXPECT_EQ(got.kind, c.kind) << c.key.code;
        EXPECT_EQ(got.value, c.value) << c.key.code;
    }
}

TEST_F(Decisions, WithoutMusicOrLyricsTheirKeysMeanNothing) {
    s.useBgm = false;
    for (VirtualKey k : {key(vk::Left), key(vk::Right), key(vk::Digit0 + 4), key(vk::F9, true)})
        EXPECT_EQ(decide(k).kind, CommandKind::None) << k.code;
    s.useBgm = true;
    s.bgmFile.clear();  // a folder that vanished left no song
    EXPECT_EQ(decide(key(vk::F9, true)).kind, CommandKind::None);
    s.useMessage = false;
    EXPECT_EQ(decide(letter('P', true)).kind, CommandKind::None);
}

TEST_F(Decisions, TheEditModeTakesSpaceBackspaceAndF6OnlyWithMusicAndLyrics) {
    st.timeEdit.timeEditMode = true;
    EXPECT_EQ(decide(key(vk::Space)).kind, CommandKind::TimeEditTap);
    EXPECT_EQ(decide(key(vk::Back)).kind, CommandKind::TimeEditBack);
    EXPECT_EQ(decide(key(vk::F6)).kind, CommandKind::TimeEditSave);
    EXPECT_EQ(decide(key(vk::Escape)).kind, CommandKind::Restart);
    s.useMessage = false;
    EXPECT_EQ(decide(key(vk::Space)).kind, CommandKind::None);
}

TEST_F(Decisions, TheSingersKeysMeanTheirControlsInTheEditModeToo) {
    struct Case {
        VirtualKey key;
        CommandKind kind;
        int value;
    } cases[] = {
        {key(vk::OemPlus), CommandKind::SingerKey, +1},
        {key(vk::Add), CommandKind::SingerKey, +1},
        {key(vk::OemMinus), CommandKind::SingerKey, -1},
        {key(vk::Subtract, true), CommandKind::SingerTempo, -1},
        {key(vk::OemPlus, true), CommandKind::SingerTempo, +1},
        {letter('V'), CommandKind::VocalCut, 0},
        {letter('M'), CommandKind::MelodyMute, 0},
        {key(vk::OemComma), CommandKind::LyricOffset, -50},
        {VirtualKey{vk::OemPeriod, true, false, false}, CommandKind::LyricOffset, +10},
        {key(vk::Digit0, true), CommandKind::SingerReset, 0},
        {key(vk::Digit0), CommandKind::None, 0},
    };
    st.timeEdit.timeEditMode = true;
    for (const Case& c : cases) {
        const Command got = decide(c.key);
        EXPECT_EQ(got.kind, c.kind) << c.key.code;
        EXPECT_EQ(got.value, c.value) << c.key.code;
    }
}

TEST(CycledSetting, TheLargestAndSmallestIntFromAHandEditedFileStepOnWithoutOverflow) {
    EXPECT_EQ(cycled(INT_MAX, 6), 2);  // 2^31 % 6
    EXPECT_EQ(cycled(INT_MAX, 5), 3);
    EXPECT_EQ(cycled(INT_MIN, 4), -3);
    EXPECT_EQ(cycled(-1, 4), 0);
}

TEST(SeekTarget, MovesTwoSecondsWithinTheSong) {
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

// The player running commands over a simulated song of a minute.
class Running : public ::testing::Test {
protected:
    test::TempDir dir;
    HeadlessHost host;
    SimulatedTransport* music = nullptr;
    std::unique_ptr<Player> player;

    explicit Running(bool midi = false) {
        auto transport = std::make_unique<SimulatedTransport>(
            [](const std::string&) { return std::optional<int>(60000); }, midi);
        music = transport.get();
        player = std::make_unique<Player>(host, std::move(transport));
        test::writeFile(dir.file("a.mp3"), "x");
        test::writeFile(dir.file("a.txt"), "[00:01:00]one\r\n[00:02:00]two\r\n");
        Settings& s = player->settings();
        s.useBgm = true;
        s.bgmFile = dir.file("a.mp3");
        s.useMessage = true;
        s.messageFile = dir.file("a.txt");
        player->loadSong();
    }
    void press(const VirtualKey& k) {
        player->run(decideKey(k, player->settings(), player->state()));
    }
    const std::string& message() const { return player->state().statusMessage; }
};

TEST_F(Running, LookTogglesPostTheirLabelAndNewValue) {
    player->settings().backgroundType = 4;
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
        press(letter(c.key));
        EXPECT_EQ(message(), c.message) << c.key;
    }
    // A negative value from the settings file climbs back through 0.
    player->settings().imageStyle = -2;
    press(letter('I'));
    EXPECT_EQ(message(), "ImageDspType : -1");
}

TEST_F(Running, EnterShowsTheQuickReferenceForTenSeconds) {
    press(key(vk::Return));
    EXPECT_EQ(message().substr(0, 15), "D : DebugMode|N");
    EXPECT_EQ(player->state().statusTime, 10000);
}

TEST_F(Running, SpacePausesAndResumesOnlyAPlayingOrPausedSong) {
    press(key(vk::Space));
    EXPECT_EQ(message(), "PAUSE");
    EXPECT_EQ(music->mode(), kModePaused);
    press(key(vk::Space));
    EXPECT_EQ(message(), "PLAYING");
    music->stop();
    player->postStatus("");
    press(key(vk::Space));
    EXPECT_EQ(music->mode(), kModeStopped);
    EXPECT_EQ(message(), "");
}

TEST_F(Running, SeekMovesThePlayingSongAndAPausedOneStays) {
    music->advance(10000);
    press(key(vk::Right, true));
    EXPECT_EQ(message(), "Fastforward!");
    EXPECT_EQ(music->position(), 12000);
    press(key(vk::Left, true));
    EXPECT_EQ(music->position(), 10000);
    music->pauseToggle();
    press(key(vk::Right, true));
    EXPECT_EQ(music->position(), 10000);
}

TEST_F(Running, WithoutAMixerTheVolumeStepsFromTheConfiguredVolumeAndSaysItIsUnchanged) {
    player->settings().volume = 20;
    press(key(vk::Up));
    EXPECT_EQ(message(), "Master Volume : 25|(no mixer: the volume is unchanged)");
    player->run({CommandKind::SetVolume, 40, {}});
    EXPECT_EQ(message(), "Master Volume : 40|(no mixer: the volume is unchanged)");
}

TEST_F(Running, CtrlF9AndTheExportsNameTheFilesTheyWrote) {
    press(key(vk::F9, true));
    EXPECT_EQ(message(), "\"a.oka\" save completed.");
    press(letter('S', true));
    EXPECT_EQ(message(), "\"a_safe.txt\" save completed.");
    EXPECT_TRUE(std::ifstream(dir.file("a_safe.txt")).good());
}

TEST_F(Running, StopLeavesTheSongPausedAtItsStartWithoutLoadingItAgain) {
    music->advance(5000);
    player->postStatus("before");
    player->run({CommandKind::Stop});
    EXPECT_EQ(music->mode(), kModePaused);
    EXPECT_EQ(music->position(), 0);
    EXPECT_EQ(player->state().songTime, 0);
    EXPECT_EQ(message(), "PAUSE");  // a load would have shown the banner
    player->run({CommandKind::PauseToggle});
    EXPECT_EQ(music->mode(), kModePlaying);
    EXPECT_EQ(music->position(), 0);
}

TEST_F(Running, PlayAndPauseActOnlyWhereTheyMeanSomething) {
    player->run({CommandKind::Play});  // already playing
    EXPECT_EQ(music->mode(), kModePlaying);
    player->run({CommandKind::Pause});
    EXPECT_EQ(music->mode(), kModePaused);
    player->run({CommandKind::Pause});
    EXPECT_EQ(music->mode(), kModePaused);
    player->run({CommandKind::Play});
    EXPECT_EQ(music->mode(), kModePlaying);
    music->advance(2000);
    music->stop();
    player->run({CommandKind::Play});  // a stopped song plays on from where it stands
    EXPECT_EQ(music->mode(), kModePlaying);
    EXPECT_EQ(music->position(), 2000);
}

TEST_F(Running, WhileASongExportsNothingChangesItAndItsPauseIsGivenBack) {
    music->advance(3000);
    player->run({CommandKind::BeginExport});
    EXPECT_EQ(music->mode(), kModePaused);
    EXPECT_FALSE(host.timerEnabled);
    const Command changing[] = {{CommandKind::StepSong, +1},  {CommandKind::PauseToggle},
                                {CommandKind::Stop},          {CommandKind::Restart},
                                {CommandKind::SeekTo, 10000}, {CommandKind::PlayList},
                                {CommandKind::Play}};
    for (const Command& c : changing) {
        player->postStatus("");
        player->run(c);
        EXPECT_EQ(message(), "動画の書き出し中です") << int(c.kind);
    }
    EXPECT_EQ(music->mode(), kModePaused);
    EXPECT_EQ(music->position(), 3000);
    EXPECT_EQ(player->settings().bgmFile, dir.file("a.mp3"));
    player->run({CommandKind::EndExport});
    EXPECT_EQ(music->mode(), kModePlaying);
    EXPECT_TRUE(host.timerEnabled);

    // A song the user had paused stays paused.
    player->run({CommandKind::PauseToggle});
    player->run({CommandKind::BeginExport});
    player->run({CommandKind::EndExport});
    EXPECT_EQ(music->mode(), kModePaused);
}

TEST_F(Running, TheDialogsOkLoadsTheSongOnlyWhenItsFilesChanged) {
    const std::string sharedIni =
        std::getenv("ORBAKARAOKE_INI") ? std::getenv("ORBAKARAOKE_INI") : "";
    ::setenv("ORBAKARAOKE_INI", dir.file("own.ini").c_str(), 1);
    player->dialogValues().music = {true, dir.file("a.mp3"), true, dir.file("a.txt"), false, ""};
    player->commitDialogValues();
    music->advance(4000);
    player->run({CommandKind::ApplySettings});
    EXPECT_EQ(music->position(), 4000);  // nothing changed: the song plays on
    test::writeFile(dir.file("b.mp3"), "x");
    player->dialogValues().music.bgmFile = dir.file("b.mp3");
    player->commitDialogValues();
    player->run({CommandKind::ApplySettings});
    EXPECT_EQ(player->settings().bgmFile, dir.file("b.mp3"));
    EXPECT_EQ(music->fileName(), dir.file("b.mp3"));
    ::setenv("ORBAKARAOKE_INI", sharedIni.c_str(), 1);
}

struct RunningMidi : Running {
    RunningMidi() : Running(true) {}
};

TEST_F(Running, TheSingersControlsPostTheirValuesAndAreKeptForTheSong) {
    press(key(vk::OemPlus));
    press(key(vk::OemPlus));
    EXPECT_EQ(message(), "Key : +2");
    press(key(vk::OemMinus, true));
    EXPECT_EQ(message(), "Tempo : 95%");
    press(letter('V'));
    EXPECT_EQ(message(), "VocalCut : 1");
    press(key(vk::OemPeriod));
    EXPECT_EQ(message(), "LyricOffset : +50");
    press(key(vk::F9, true));  // kept with the song's look
    player->loadSong();
    const SingerControls kept = player->state().singer;
    EXPECT_EQ(kept.key, 2);
    EXPECT_EQ(kept.tempo, 95);
    EXPECT_TRUE(kept.vocalCut);
    EXPECT_EQ(kept.lyricOffset, 50);
    press(key(vk::Digit0, true));
    EXPECT_EQ(message(), "SingerReset");
    EXPECT_EQ(player->state().singer, SingerControls{});
}

TEST_F(Running, TheLyricOffsetMovesOnlyTheLyrics) {
    Bitmap back;
    player->frame(back, 64, 48, 1000);
    music->advance(1500);
    const int before = player->frame(back, 64, 48, 1015).lyrics.lyricTime;
    press(key(vk::OemPeriod));  // 50 ms later
    music->advance(0);
    const FrameOutcome after = player->frame(back, 64, 48, 1030);
    EXPECT_EQ(player->state().songTime, 1500);
    EXPECT_EQ(after.lyrics.lyricTime, before - 50);
}

TEST_F(RunningMidi, AtEightyPercentTempoTheMidiClockCountsSongTime) {
    player->run({CommandKind::SingerTempo, -1, {}});
    for (int i = 0; i < 3; ++i) player->run({CommandKind::SingerTempo, -1, {}});
    ASSERT_EQ(player->state().singer.tempo, 80);
    Bitmap back;
    unsigned now = 1000;
    player->frame(back, 64, 48, now);
    const int start = player->state().songTime;
    for (int i = 0; i < 1000; ++i) player->frame(back, 64, 48, now += 15);  // 15 s of wall time
    EXPECT_EQ(player->state().songTime - start, 12000);
}

TEST_F(RunningMidi, AMidiSongHasNoVoiceToCut) {
    press(letter('V'));
    EXPECT_EQ(message(), "VocalCut : -");
    EXPECT_FALSE(player->state().singer.vocalCut);
}

TEST_F(RunningMidi, AMidiSongSeeksOnButNeverBack) {
    ASSERT_TRUE(player->state().isMidi);
    music->advance(5000);
    press(key(vk::Left, true));
    EXPECT_EQ(music->position(), 5000);
    press(key(vk::Right, true));
    EXPECT_EQ(music->position(), 7000);
    EXPECT_EQ(player->state().songTime, 7000);
}

}  // namespace
}  // namespace orba
