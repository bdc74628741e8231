// The end of a song and the faults around song loads: folder play moving
// on over a simulated transport, the party queue going before it, a next
// song that vanished, a song whose music is MIDI under another name, a pipe
// under a music name, and a failed lyric load that must leave no other
// song's lines behind.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>

#include "playback/mediadevice.h"
#include "playback/simulatedtransport.h"
#include "player/player.h"
#include "tests/playback/mediafixtures.h"
#include "tests/support/midiwriter.h"
#include "tests/support/tempdir.h"

namespace orba {
namespace {

using test::writeFile;

// A folder of three songs of two seconds each, played in folder play.
class FolderPlay : public ::testing::Test {
protected:
    test::TempDir dir;
    HeadlessHost host;
    SimulatedTransport* music = nullptr;
    std::unique_ptr<Player> player;
    Bitmap back;
    unsigned now = 1000;

    FolderPlay() {
        // A settings file of its own: the song a player writes into it must
        // never be the one another test's player reads.
        ::setenv("ORBAKARAOKE_INI", dir.file("ORBAKARAOKE.ini").c_str(), 1);
        for (const char* name : {"a", "b", "c"}) {
            writeFile(dir.file(std::string(name) + ".mp3"), "x");
            writeFile(dir.file(std::string(name) + "_t.txt"), "[00:00:50]la\r\n");
        }
        auto transport = std::make_unique<SimulatedTransport>(
            [](const std::string&) { return std::optional<int>(2000); });
        music = transport.get();
        player = std::make_unique<Player>(host, std::move(transport));
        EXPECT_TRUE(player->openMusicFile(dir.file("a.mp3")));
        player->settings().folderRepeat = true;
    }
    // One tick of the window: the frame, then what it queued.
    FrameOutcome tick() {
        music->advance(15);
        now += 15;
        const FrameOutcome out = player->frame(back, 160, 120, now);
        player->afterFrame();
        return out;
    }
    // Frames until the song changes or `limit` frames have run.
    void playUntilTheSongChanges(int limit = 400) {
        const std::string current = player->settings().bgmFile;
        player->frame(back, 160, 120, now);
        for (int i = 0; i < limit && player->settings().bgmFile == current; ++i) tick();
    }
};

TEST_F(FolderPlay, TheFrameThatEndsASongDrawsItAndTheNextFrameDrawsTheNextSong) {
    player->frame(back, 160, 120, now);
    FrameOutcome out;
    for (int i = 0; i < 400 && !out.songEnded; ++i) {
        music->advance(15);
        now += 15;
        out = player->frame(back, 160, 120, now);
        if (!out.songEnded) player->afterFrame();
    }
    ASSERT_TRUE(out.songEnded);
    // The ending frame ran the old song's clock over the old song's lines.
    EXPECT_EQ(player->settings().bgmFile, dir.file("a.mp3"));
    EXPECT_GE(out.lyrics.lyricTime, 1990);
    player->afterFrame();
    EXPECT_EQ(player->settings().bgmFile, dir.file("b.mp3"));
    const FrameOutcome next = tick();
    EXPECT_FALSE(next.songEnded);
    EXPECT_LT(next.lyrics.lyricTime, 100);
}

TEST_F(FolderPlay, TheEndOfASongOpensTheNextOneWithItsLyrics) {
    playUntilTheSongChanges();
    EXPECT_EQ(player->settings().bgmFile, dir.file("b.mp3"));
    EXPECT_EQ(player->settings().messageFile, dir.file("b_t.txt"));
    EXPECT_EQ(player->state().statusMessage, "b");
    EXPECT_EQ(music->mode(), kModePlaying);
    EXPECT_TRUE(host.timerEnabled);
}

TEST_F(FolderPlay, ANextSongThatVanishedIsNamedAndThePlayerMovesPastIt) {
    player->state().folderSongs.clear();
    player->run({CommandKind::PlayList, 0, {}});  // lists the folder
    std::remove(dir.file("b.mp3").c_str());
    playUntilTheSongChanges();
    EXPECT_EQ(player->state().statusMessage, "b.mp3 が見つかりません");
    EXPECT_TRUE(host.timerEnabled);  // the frames go on
    playUntilTheSongChanges();
    EXPECT_EQ(player->settings().bgmFile, dir.file("c.mp3"));
    EXPECT_EQ(player->state().statusMessage, "c");
}

Command queueSong(const std::string& path, const std::string& singer,
                  std::optional<int> key = std::nullopt) {
    Command c{CommandKind::QueueSong};
    c.queue.path = path;
    c.queue.singer = singer;
    c.queue.key = key;
    return c;
}

TEST_F(FolderPlay, TheNextQueueEntryPlaysBeforeFolderPlayWithItsSingersKey) {
    player->run(queueSong(dir.file("c.mp3"), " Mika ", 2));
    EXPECT_EQ(player->state().statusMessage, "キューに入れました: c");
    playUntilTheSongChanges();
    EXPECT_EQ(player->settings().bgmFile, dir.file("c.mp3"));
    EXPECT_EQ(player->settings().messageFile, dir.file("c_t.txt"));
    EXPECT_EQ(player->state().statusMessage, "c|Mika");
    EXPECT_EQ(player->state().singer.key, 2);
    EXPECT_EQ(music->mode(), kModePlaying);
    ASSERT_TRUE(player->partyQueue().now());
    EXPECT_EQ(player->partyQueue().now()->singer, "Mika");
    // Escape loads the song again: it is still Mika's, in Mika's key.
    player->run({CommandKind::Restart});
    EXPECT_EQ(player->state().singer.key, 2);

    // An empty queue leaves the next end to folder play, in the song's own key.
    playUntilTheSongChanges();
    EXPECT_EQ(player->settings().bgmFile, dir.file("a.mp3"));
    EXPECT_EQ(player->state().singer.key, 0);
    EXPECT_FALSE(player->partyQueue().now());
}

TEST_F(FolderPlay, APausedQueueLeavesTheSongEndToFolderPlay) {
    player->run(queueSong(dir.file("c.mp3"), "Mika"));
    player->run({CommandKind::PauseQueue, 1});
    playUntilTheSongChanges();
    EXPECT_EQ(player->settings().bgmFile, dir.file("b.mp3"));
    ASSERT_EQ(player->partyQueue().upcoming().size(), 1u);
    player->run({CommandKind::PauseQueue, 0});
    playUntilTheSongChanges();
    EXPECT_EQ(player->settings().bgmFile, dir.file("c.mp3"));
}

TEST_F(FolderPlay, SkipPlaysTheNextEntryAtOnceAndStopsWhenNoneWaits) {
    player->run(queueSong(dir.file("b.mp3"), "Ken"));
    player->run(queueSong(dir.file("c.mp3"), "Mika"));
    player->run({CommandKind::SkipQueueEntry});
    EXPECT_EQ(player->settings().bgmFile, dir.file("b.mp3"));
    EXPECT_EQ(player->partyQueue().now()->singer, "Ken");
    Command remove{CommandKind::RemoveQueueEntry};
    remove.entry = player->partyQueue().upcoming().at(0).id;
    player->run(remove);
    player->run({CommandKind::SkipQueueEntry});
    // Nothing waits: the song stands at its start, nothing else loads.
    EXPECT_EQ(player->settings().bgmFile, dir.file("b.mp3"));
    EXPECT_EQ(music->mode(), kModePaused);
    EXPECT_EQ(music->position(), 0);
    EXPECT_FALSE(player->partyQueue().now());
}

TEST_F(FolderPlay, TheQueuedSongIsNamedOnTheFrameInTheSongsLastSeconds) {
    // The name is outlined in magenta at the top right.
    const auto magentaTopRight = [&] {
        int n = 0;
        const QImage& image = std::as_const(back).image();
        for (int y = 0; y < 60; ++y)
            for (int x = 400; x < image.width(); ++x) {
                const QRgb p = image.pixel(x, y);
                n += qRed(p) > 200 && qBlue(p) > 200 && qGreen(p) < 80;
            }
        return n;
    };
    player->frame(back, 800, 600, now);
    const int without = magentaTopRight();
    player->run(queueSong(dir.file("c.mp3"), "Mika"));
    now += 15;
    music->advance(15);
    player->frame(back, 800, 600, now);
    EXPECT_GT(magentaTopRight(), without + 20);
    // A paused queue names nothing.
    player->run({CommandKind::PauseQueue, 1});
    now += 15;
    music->advance(15);
    player->frame(back, 800, 600, now);
    EXPECT_LE(magentaTopRight(), without);
}

TEST_F(FolderPlay, MovedEntriesPlayInTheHostsOrder) {
    player->run(queueSong(dir.file("b.mp3"), "Ken"));
    player->run(queueSong(dir.file("c.mp3"), "Mika"));
    Command move{CommandKind::MoveQueueEntry, 0};
    move.entry = player->partyQueue().upcoming().at(1).id;
    player->run(move);
    playUntilTheSongChanges();
    EXPECT_EQ(player->settings().bgmFile, dir.file("c.mp3"));
}

TEST_F(FolderPlay, AQueuedSongWhoseFileWentIsPassedOver) {
    player->run(queueSong(dir.file("b.mp3"), "Ken"));
    player->run(queueSong(dir.file("c.mp3"), "Mika"));
    std::remove(dir.file("b.mp3").c_str());
    playUntilTheSongChanges();
    EXPECT_EQ(player->settings().bgmFile, dir.file("c.mp3"));
    EXPECT_EQ(player->partyQueue().now()->singer, "Mika");
}

TEST_F(FolderPlay, ASongThatIsNoMusicFileIsNotQueued) {
    player->run(queueSong(dir.file("a_t.txt"), "Ken"));
    EXPECT_EQ(player->state().statusMessage, "a_t.txt が見つかりません");
    player->run(queueSong(dir.file("b.mp3"), "\t "));
    EXPECT_EQ(player->state().statusMessage, queueRefusalText(QueueRefusal::NoName));
    EXPECT_TRUE(player->partyQueue().upcoming().empty());
}

TEST_F(FolderPlay, TheNextSingerIsAnnouncedBetweenSongsAndTheirSongStartsWhenTheTimeIsUp) {
    player->setUpNextSeconds(1);
    player->run(queueSong(dir.file("c.mp3"), "Mika"));
    ASSERT_TRUE(player->queueOutcome().done);
    EXPECT_EQ(player->queueOutcome().entry, player->partyQueue().upcoming().at(0).id);
    player->frame(back, 160, 120, now);
    for (int i = 0; i < 400 && !player->upNext(); ++i) tick();
    ASSERT_TRUE(player->upNext());
    EXPECT_EQ(player->upNext()->singer, "Mika");
    EXPECT_NE(music->mode(), kModePlaying);
    // The announcement darkens the middle of the frame while the clocks stand.
    const FrameOutcome shown = tick();
    EXPECT_TRUE(shown.drawn);
    EXPECT_FALSE(shown.songEnded);
    EXPECT_EQ(std::as_const(back).image().pixel(2, 60) & 0xFFFFFF, 0u);
    for (int i = 0; i < 100 && player->upNext(); ++i) tick();
    EXPECT_FALSE(player->upNext());
    EXPECT_EQ(player->settings().bgmFile, dir.file("c.mp3"));
    EXPECT_EQ(music->mode(), kModePlaying);
    EXPECT_EQ(player->state().statusMessage, "c|Mika");
}

TEST_F(FolderPlay, SpaceStartsTheAnnouncedSongAndAnotherSongLoadEndsTheAnnouncement) {
    player->setUpNextSeconds(10);
    player->run(queueSong(dir.file("b.mp3"), "Ken"));
    player->run(queueSong(dir.file("c.mp3"), "Mika"));
    player->run({CommandKind::SkipQueueEntry});
    ASSERT_TRUE(player->upNext());
    player->run({CommandKind::PauseToggle});
    EXPECT_FALSE(player->upNext());
    EXPECT_EQ(player->settings().bgmFile, dir.file("b.mp3"));
    EXPECT_EQ(music->mode(), kModePlaying);

    player->run({CommandKind::SkipQueueEntry});
    ASSERT_TRUE(player->upNext());
    EXPECT_EQ(player->upNext()->singer, "Mika");
    player->run({CommandKind::OpenSong, 0, dir.file("a.mp3")});
    EXPECT_FALSE(player->upNext());
    EXPECT_EQ(player->settings().bgmFile, dir.file("a.mp3"));
}

TEST_F(FolderPlay, QueueCommandsTellWhetherTheyDidAnything) {
    for (int i = 0; i < kWaitingPerSinger; ++i) player->run(queueSong(dir.file("b.mp3"), "Ken"));
    EXPECT_TRUE(player->queueOutcome().done);
    player->run(queueSong(dir.file("b.mp3"), "ken"));
    EXPECT_FALSE(player->queueOutcome().done);
    EXPECT_EQ(player->queueOutcome().why, QueueRefusal::TooMany);
    player->run(queueSong(dir.file("gone.mp3"), "Mika"));
    EXPECT_EQ(player->queueOutcome().why, QueueRefusal::NoSong);
    Command remove{CommandKind::RemoveQueueEntry};
    remove.entry = 9999;
    player->run(remove);
    EXPECT_FALSE(player->queueOutcome().done);
    remove.entry = player->partyQueue().upcoming().at(0).id;
    player->run(remove);
    EXPECT_TRUE(player->queueOutcome().done);
    // A command refused while an export runs did nothing, whatever came before.
    player->run({CommandKind::BeginExport});
    player->run({CommandKind::SkipQueueEntry});
    EXPECT_FALSE(player->queueOutcome().done);
    player->run({CommandKind::EndExport});
}

TEST_F(FolderPlay, ThePageAddressIsDrawnAsACodeThatQHidesAndShows) {
    // The quiet zone's top-right pixel, under the line naming the next song.
    const auto corner = [&] { return std::as_const(back).image().pixel(791, 24) & 0xFFFFFF; };
    player->frame(back, 800, 600, now);
    const QRgb without = corner();
    player->setPartyAddress("http://192.168.1.20:8080/?t=abcdefghijklmnopqrstuv");
    player->frame(back, 800, 600, now += 15);
    ASSERT_TRUE(player->partyCodeShown());
    EXPECT_EQ(corner(), 0xFFFFFFu);  // the quiet zone
    player->run(decideKey({vk::letter('Q')}, player->settings(), player->state()));
    EXPECT_FALSE(player->partyCodeShown());
    player->frame(back, 800, 600, now += 15);
    EXPECT_EQ(corner(), without);
}

TEST(SongLoad, MidiUnderAnotherNameGetsTheMidiClock) {
    test::TempDir dir;
    test::MidiWriter midi(480);
    midi.tempo(0, 0, 500000);
    midi.note(0, 0, 480, 60);
    midi.endAt(0, 960);
    writeFile(dir.file("tune.wav"), midi.bytes());
    HeadlessHost host;
    Player player(host);
    player.settings().useBgm = true;
    player.settings().bgmFile = dir.file("tune.wav");
    player.loadSong();
    EXPECT_TRUE(player.settings().useBgm);
    EXPECT_TRUE(player.state().isMidi);
}

TEST(SongLoad, APipeUnderAMusicNameIsRefusedAtOnce) {
    test::TempDir dir;
    const std::string pipe = dir.file("song.mid");
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    HeadlessHost host;
    Player player(host);
    player.settings().useBgm = true;
    player.settings().bgmFile = pipe;
    player.loadSong();  // would block for good if the pipe were read
    EXPECT_FALSE(player.settings().useBgm);
    EXPECT_EQ(player.transport().lastError(), kMediaInvalidFile);
    EXPECT_EQ(player.state().statusMessage, player.transport().errorText());
}

TEST(SongLoad, AFailedLyricLoadLeavesNoLinesOfTheSongBefore) {
    test::TempDir dir;
    writeFile(dir.file("old.txt"), "[00:01:00]old line\r\n");
    writeFile(dir.file("new.txt"), "@TimeRatio=fast\r\n[00:01:00]new line\r\n");
    HeadlessHost host;
    Player player(host);
    player.settings().useMessage = true;
    player.settings().messageFile = dir.file("old.txt");
    player.loadSong();
    ASSERT_FALSE(player.state().lyricLines.empty());
    player.settings().messageFile = dir.file("new.txt");
    EXPECT_THROW(player.loadSong(), std::exception);
    EXPECT_TRUE(player.state().lyricLines.empty());
    // Nothing left to export or to save over the new file.
    EXPECT_EQ(decideKey({vk::letter('P'), false, true, false}, player.settings(), player.state()),
              Command{});
}

}  // namespace
}  // namespace orba
