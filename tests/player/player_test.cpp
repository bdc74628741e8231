// The player without its window: which files it takes, what a song load
// leaves behind for the frame loop, and the first song at start-up.
#include "player/player.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

#include "lyrics/lyricload.h"
#include "lyrics/messagefile.h"
#include "playback/mediadevice.h"
#include "tests/playback/mediafixtures.h"
#include "tests/support/tempdir.h"

namespace orba {
namespace {

using test::TempDir;
using test::writeFile;

struct FakeHost : HeadlessHost {
    bool& timer = timerEnabled;
};

class PlayerTest : public ::testing::Test {
protected:
    TempDir dir;
    FakeHost host;
    Player player{host};

    const std::string& chosen() { return player.dialogValues().music.bgmFile; }

    void lyrics(const std::string& text) {
        writeFile(dir.file("song_t.txt"), text);
        player.settings().useMessage = true;
        player.settings().messageFile = dir.file("song_t.txt");
    }
};

TEST_F(PlayerTest, OpenTakesOnlyExistingFilesWithAMusicExtension) {
    writeFile(dir.file("song.flac"), "x");
    writeFile(dir.file("song.txt"), "x");
    EXPECT_FALSE(player.openMusicFile(dir.file("song.flac")));
    EXPECT_FALSE(player.openMusicFile(dir.file("song.txt")));
    EXPECT_FALSE(player.openMusicFile(dir.file("missing.mp3")));
    EXPECT_NE(chosen(), dir.file("missing.mp3"));
    EXPECT_FALSE(host.timer);

    writeFile(dir.file("SONG.MP3"), "not really music");
    EXPECT_TRUE(player.openMusicFile(dir.file("SONG.MP3")));
    EXPECT_EQ(chosen(), dir.file("SONG.MP3"));
    // Committed: the settings as read back name the song.
    EXPECT_EQ(player.settings().bgmFile, dir.file("SONG.MP3"));
    EXPECT_TRUE(host.timer);
}

TEST_F(PlayerTest, LyricsWithoutMusicRunOnTheirOwnClockBehindTheBanner) {
    lyrics("[00:10:00]a\r\nb\r\nc\r\n[00:40:00]d\r\n");
    host.caption = "before";
    player.loadSong();
    const PlayerState& st = player.state();
    EXPECT_EQ(st.statusMessage, kBanner);
    EXPECT_EQ(st.statusTime, 15000);
    EXPECT_EQ(st.tagType, 2);
    EXPECT_EQ(st.lineTimes, (std::vector<std::string>{"[00:10:00]", "[00:20:00]", "[00:30:00]",
                                                      "[00:40:00]", "[00:43:00]"}));
    EXPECT_EQ(st.currentLine, -1);
    EXPECT_EQ(st.lastTick, 0u);
    EXPECT_TRUE(host.timer);
    EXPECT_EQ(host.caption, "before");  // no music: the caption stays
}

TEST_F(PlayerTest, MusicThatCannotBeOpenedShowsTheDevicesErrorAndTheLyricsGoOn) {
    lyrics("[00:01:00]a\r\n[00:02:00]b\r\n");
    writeFile(dir.file("song.mp3"), "this is not an mp3 file at all");
    player.settings().useBgm = true;
    player.settings().bgmFile = dir.file("song.mp3");
    player.loadSong();
    EXPECT_FALSE(player.settings().useBgm);
    EXPECT_EQ(player.state().statusMessage, player.transport().errorText());
    EXPECT_FALSE(player.state().statusMessage.empty());
    EXPECT_EQ(host.caption, "ORBA KARAOKE PLAYER - song.mp3");
    EXPECT_EQ(player.state().lineTimes.back(), "[00:05:00]");  // 3000 ms after the last anchor
    EXPECT_TRUE(host.timer);
}

TEST_F(PlayerTest, ASongThatOpensPlaysWithItsLengthAndCaption) {
    const std::string song = dir.file("tune.wav");
    ASSERT_TRUE(test::writeTone(song, 1500));
    player.settings().useBgm = true;
    player.settings().bgmFile = song;
    player.loadSong();
    EXPECT_TRUE(player.settings().useBgm);
    EXPECT_NEAR(player.state().songLength, 1500, 50);
    EXPECT_EQ(host.caption, "ORBA KARAOKE PLAYER - tune.wav");
    EXPECT_TRUE(test::waitForMode(player.transport(), kModePlaying, 5000));

    // A second load while it plays stops and closes it first.
    player.loadSong();
    EXPECT_TRUE(test::waitForMode(player.transport(), kModePlaying, 5000));
}

TEST_F(PlayerTest, ABadTimeRatioStopsTheLoadWithTheTimerOff) {
    lyrics("@TimeRatio=fast\r\n[00:01:00]a\r\n");
    try {
        player.loadSong();
        ADD_FAILURE() << "no error";
    } catch (const ConversionError& e) {
        // The box names the file it is about.
        EXPECT_EQ(std::string(e.what()),
                  dir.file("song_t.txt") + ": 'fast' は浮動小数点数ではありません");
    }
    EXPECT_FALSE(host.timer);
}

TEST_F(PlayerTest, ALyricFileThatIsNotReadIsNamedOnTheStatusLineWithTheReason) {
    struct Case {
        std::function<void()> make;
        const char* status;
    };
    for (const Case& c : {
             Case{[&] {
                      std::filesystem::resize_file(dir.file("song_t.txt"),
                                                   kMaxMessageFileBytes + 1);
                  },
                  "song_t.txt: larger than 4 MiB"},
             Case{[&] {
                      std::filesystem::remove(dir.file("song_t.txt"));
                      std::filesystem::create_directory(dir.file("song_t.txt"));
                  },
                  "song_t.txt: a folder, not a file"},
         }) {
        std::filesystem::remove_all(dir.file("song_t.txt"));
        lyrics("[00:01:00]a\r\n");
        c.make();
        player.loadSong();
        EXPECT_FALSE(player.settings().useMessage);
        EXPECT_EQ(player.state().statusMessage, c.status);
        EXPECT_TRUE(player.state().lyricLines.empty());
        EXPECT_TRUE(host.timer);
    }
}

TEST_F(PlayerTest, AnOversizedPerSongFileIsIgnoredAndTheLoadSaysSo) {
    const std::string song = dir.file("tune.wav");
    ASSERT_TRUE(test::writeTone(song, 500));
    writeFile(dir.file("tune.oka"), "[Option]\nTextBack=2\n");
    std::filesystem::resize_file(dir.file("tune.oka"), 400ull << 20);  // sparse
    const int textBack = player.settings().textBack;
    ASSERT_TRUE(player.openMusicFile(song));
    EXPECT_EQ(player.settings().textBack, textBack);
    EXPECT_EQ(player.state().statusMessage, "tune.oka: larger than 64 KiB, ignored");
    EXPECT_EQ(player.loadProblems(),
              std::vector<std::string>{"tune.oka: larger than 64 KiB, ignored"});
    // Told once: the next load of the song has nothing new to say.
    player.loadSong();
    EXPECT_EQ(player.state().statusMessage, kBanner);
}

TEST_F(PlayerTest, TheEditModeStartsFromTheFirstLineAtZero) {
    lyrics("[00:05:00]a\r\n[00:06:00]b\r\n");
    player.state().timeEdit.timeEditMode = true;
    player.loadSong();
    EXPECT_EQ(player.state().lineTimes, std::vector<std::string>{"[00:00:00]"});
    EXPECT_EQ(player.state().lyricLines.front(), "[00:00:00]a");
    EXPECT_EQ(player.settings().fontSizePercent, 100);
    EXPECT_EQ(player.settings().textTiming, 0);
}

TEST_F(PlayerTest, AtStartTheCommandLineWinsThenTheFirstMp3BesideTheProgram) {
    writeFile(dir.file("b.mp3"), "x");
    writeFile(dir.file("a.mp3"), "x");
    writeFile(dir.file("A.MP3"), "x");
    writeFile(dir.file("0.mp3x"), "x");
    EXPECT_EQ(firstMp3In(dir.path()), "A.MP3");
    EXPECT_EQ(firstMp3In(dir.file("nowhere")), "");

    player.openFirstSong(dir.file("notes.txt"), dir.path() + "/");
    EXPECT_NE(chosen(), dir.file("notes.txt"));  // not a music file: nothing opened, no frames
    EXPECT_FALSE(host.timer);

    player.openFirstSong("", dir.path() + "/");
    EXPECT_EQ(chosen(), dir.file("A.MP3"));
}

TEST_F(PlayerTest, WithNothingToOpenTheSettingsSongStillLoadsAndTheTimerRuns) {
    TempDir empty;
    const std::string before = chosen();
    player.openFirstSong("", empty.path() + "/");
    EXPECT_EQ(chosen(), before);
    EXPECT_TRUE(host.timer);
    EXPECT_EQ(player.state().statusMessage, kBanner);
}

TEST_F(PlayerTest, AnLrcFileBesideTheSongIsItsLyricFileAndWinsOverAKeptOne) {
    lyrics("[00:01:00]kept\r\n");
    writeFile(dir.file("other.mp3"), "not really music");
    writeFile(dir.file("other.lrc"), "[ti:T]\n[00:01.50]<00:01.50>Caf\xC3\xA9 <00:02.00>!\n");
    player.settings().useBgm = true;
    player.settings().bgmFile = dir.file("other.mp3");
    player.loadSong();
    const PlayerState& st = player.state();
    EXPECT_TRUE(player.settings().useMessage);
    EXPECT_EQ(player.settings().messageFile, dir.file("other.lrc"));
    EXPECT_EQ(st.lyricForm.dialect, LyricDialect::EnhancedLrc);
    EXPECT_EQ(st.lyricForm.encoding, TextEncoding::Utf8);
    EXPECT_EQ(st.tagType, 3);
    EXPECT_EQ(st.lyricLines.front(), "[00:01:50][00:01:50]Caf\xC3\xA9 [00:02:00]!");
}

TEST_F(PlayerTest, AKarFilePlaysAsMidiWithTheLyricsInsideIt) {
    // Lyric events at 0 and 480 ticks at the default 120 bpm.
    const std::string kar = std::string("MThd\0\0\0\x06\0\0\0\x01\x01\xE0MTrk\0\0\0\x11", 22) +
                            std::string("\0\xFF\x05\x02la\x83\x60\xFF\x05\x02lu\0\xFF\x2F\0", 17);
    writeFile(dir.file("song.kar"), kar);
    player.settings().useBgm = true;
    player.settings().bgmFile = dir.file("song.kar");
    player.loadSong();
    const PlayerState& st = player.state();
    EXPECT_TRUE(st.isMidi);
    EXPECT_EQ(st.lyricForm.source, LyricSourceKind::MidiEvents);
    EXPECT_EQ(st.lyricLines.front(), "[00:00:00]la[00:00:50]lu");
}

TEST_F(PlayerTest, AnUltraStarSongOpensWithItsAudioItsSyllablesAndItsNotes) {
    writeFile(dir.file("track.mp3"), "not really music");
    writeFile(dir.file("track.lrc"), "[00:01.00]not these\n");
    const std::string txt = dir.file("duet.txt");
    writeFile(txt, "#TITLE:Duet\n#BPM:300\n#GAP:1000\n#MP3:track.mp3\n: 0 2 3 la\n* 2 4 5 lu\nE\n");
    ASSERT_TRUE(player.openMusicFile(txt));
    const PlayerState& st = player.state();
    EXPECT_EQ(player.settings().bgmFile, dir.file("track.mp3"));
    EXPECT_EQ(player.settings().messageFile, txt);
    EXPECT_EQ(st.lyricForm.dialect, LyricDialect::UltraStar);
    EXPECT_EQ(st.tagType, 3);
    EXPECT_EQ(st.lyricLines.front(), "[00:01:00][00:01:00]la[00:01:10]lu[00:01:30]");
    EXPECT_EQ(st.sungNotes, (std::vector<SungNote>{{1000, 100, 3, NoteKind::Normal, 0, 0},
                                                   {1100, 200, 5, NoteKind::Golden, 0, 0}}));
    // Loaded again from the settings, it still sings from its notes.
    player.loadSong();
    EXPECT_EQ(player.settings().messageFile, txt);
    EXPECT_EQ(player.state().sungNotes.size(), 2u);
}

TEST_F(PlayerTest, AnUltraStarSongWhoseAudioLiesOutsideItsFolderIsRefusedOnTheStatusLine) {
    lyrics("[00:01:00]playing\r\n");
    player.loadSong();
    std::filesystem::create_directory(dir.file("songs"));
    writeFile(dir.file("up.mp3"), "not really music");
    writeFile(dir.file("songs/up.txt"), "#TITLE:x\n#BPM:300\n#MP3:../up.mp3\n: 0 2 0 a\n");
    EXPECT_FALSE(player.openMusicFile(dir.file("songs/up.txt")));
    EXPECT_NE(player.state().statusMessage.find("outside the song's folder"), std::string::npos)
        << player.state().statusMessage;
    // The song before plays on.
    EXPECT_EQ(player.settings().messageFile, dir.file("song_t.txt"));
    EXPECT_TRUE(player.state().sungNotes.empty());
}

}  // namespace
}  // namespace orba
