#include "player/songresolution.h"

#include <gtest/gtest.h>

#include "tests/support/tempdir.h"

namespace orba {
namespace {

using Order = std::vector<LyricCandidate>;

SongOnDisk song(const std::string& music) {
    SongOnDisk s;
    s.musicFile = music;
    return s;
}

TEST(SongResolution, ACompanionLyricFileIsTheSongsLyricsAlone) {
    SongOnDisk s = song("/m/a.mp3");
    s.companions.timedText = true;
    s.companions.plainText = true;
    s.lrcBeside = true;
    const ResolvedSong r = chooseSong(s, {});
    EXPECT_EQ(r.lyrics, (Order{{"/m/a_t.txt", false}}));
    EXPECT_TRUE(r.choice.useBgm);
    EXPECT_EQ(r.choice.bgmFile, "/m/a.mp3");
}

TEST(SongResolution, WithoutACompanionLrcThenInsideThenAFileKeptFromElsewhere) {
    SongOnDisk s = song("/m/a.kar");
    s.lrcBeside = true;
    const MusicChoice before{true, "/old/b.mp3", true, "/kept/words.txt", false, ""};
    EXPECT_EQ(chooseSong(s, before).lyrics,
              (Order{{"/m/a.lrc", false}, {"/m/a.kar", true}, {"/kept/words.txt", false}}));
    // A lyric file beside the song before goes with it.
    const MusicChoice beside{true, "/old/b.mp3", true, "/old/b.txt", false, ""};
    EXPECT_EQ(chooseSong(s, beside).lyrics, (Order{{"/m/a.lrc", false}, {"/m/a.kar", true}}));
}

TEST(SongResolution, NamedLyricsAreNeverLookedForBesideTheMusic) {
    SongOnDisk s = song("/m/a.mp3");
    s.lrcBeside = true;
    const MusicChoice fields{true, "/m/a.mp3", true, "/x/words.txt", false, ""};
    EXPECT_EQ(resolveSong(s, fields, false).lyrics, (Order{{"/x/words.txt", false}}));
    // The music file remembered as the lyric file is never read as text.
    const MusicChoice self{true, "/m/a.mp3", true, "/m/a.mp3", false, ""};
    EXPECT_EQ(resolveSong(s, self).lyrics, (Order{{"/m/a.lrc", false}, {"/m/a.mp3", true}}));
}

TEST(SongResolution, MidiPicturesAndPerSongFileFollowTheMusicInUse) {
    SongOnDisk s = song("/m/a.kar");
    s.playsAsMidi = true;
    s.perSongFile = true;
    s.companions.imageFolder = true;
    const ResolvedSong r = chooseSong(s, {});
    EXPECT_TRUE(r.isMidi);
    EXPECT_FALSE(r.perSongFile.empty());
    EXPECT_TRUE(r.choice.useImages);
    EXPECT_EQ(r.choice.imageFolder, "/m/okaraimg/");
    // Music switched off: nothing of the file counts.
    const MusicChoice off{false, "/m/a.kar", false, "", false, ""};
    const ResolvedSong none = resolveSong(s, off);
    EXPECT_FALSE(none.isMidi);
    EXPECT_TRUE(none.perSongFile.empty());
    EXPECT_TRUE(none.lyrics.empty());
}

TEST(SongResolution, SubtitlesBesideTheMusicComeAfterItsLrcAndBeforeItsInsides) {
    SongOnDisk s = song("/m/a.mp3");
    s.lrcBeside = true;
    s.assBeside = true;
    s.ssaBeside = true;
    EXPECT_EQ(
        chooseSong(s, {}).lyrics,
        (Order{{"/m/a.lrc", false}, {"/m/a.ass", false}, {"/m/a.ssa", false}, {"/m/a.mp3", true}}));
    // A companion text file still stands alone.
    s.companions.plainText = true;
    EXPECT_EQ(chooseSong(s, {}).lyrics, (Order{{"/m/a.txt", false}}));
}

// An UltraStar song and the files around it, on disk.
class UltraStarSong : public ::testing::Test {
protected:
    std::string write(const std::string& name, const std::string& audioHeader) {
        const std::string path = dir.file(name);
        test::writeFile(path, "#TITLE:x\n#BPM:300\n" + audioHeader + "\n: 0 2 0 a\nE\n");
        return path;
    }
    test::TempDir dir;
};

TEST_F(UltraStarSong, OpenedItPlaysTheAudioItNamesWithItsOwnNotesAsLyrics) {
    test::writeFile(dir.file("track.mp3"), "");
    test::writeFile(dir.file("track.lrc"), "[00:01.00]lrc\n");
    const std::string txt = write("duet.txt", "#MP3:track.mp3");
    ASSERT_TRUE(opensAsSong(txt));
    const SongOnDisk s = lookAtSong(txt);
    EXPECT_TRUE(s.refusal.empty());
    EXPECT_EQ(s.musicFile, dir.file("track.mp3"));
    EXPECT_EQ(s.songFile, txt);
    const ResolvedSong r = chooseSong(s, {});
    EXPECT_EQ(r.choice.bgmFile, dir.file("track.mp3"));
    EXPECT_EQ(r.choice.messageFile, txt);
    EXPECT_EQ(r.lyrics, (Order{{txt, false}}));
    // Loaded again from the fields, the song still sings from its notes,
    // although an LRC file lies beside the music.
    const ResolvedSong again = resolveSong(lookAtSong(r.choice.bgmFile, txt), r.choice);
    EXPECT_EQ(again.lyrics, (Order{{txt, false}}));
}

TEST_F(UltraStarSong, AudioOutsideItsFolderMissingOrUnnamedIsRefusedInWords) {
    struct Case {
        const char* header;
        const char* why;
    };
    for (const Case& c :
         {Case{"#MP3:../track.mp3", "outside"}, Case{"#AUDIO:/tmp/x.mp3", "outside"},
          Case{"#MP3:gone.mp3", "not there"}, Case{"#VIDEO:v.mp4", "#AUDIO"}}) {
        const SongOnDisk s = lookAtSong(write("song.txt", c.header));
        EXPECT_NE(s.refusal.find(c.why), std::string::npos) << c.header << ": " << s.refusal;
        EXPECT_TRUE(s.musicFile.empty()) << c.header;
    }
}

TEST_F(UltraStarSong, BesideMusicOfItsNameItIsTheCompanionAndAPlainLyricFileWins) {
    test::writeFile(dir.file("song.mp3"), "");
    const std::string txt = write("song.txt", "#MP3:song.mp3");
    EXPECT_EQ(chooseSong(lookAtSong(dir.file("song.mp3")), {}).lyrics, (Order{{txt, false}}));
    test::writeFile(dir.file("song_t.txt"), "[00:01:00]own\r\n");
    EXPECT_EQ(chooseSong(lookAtSong(dir.file("song.mp3")), {}).lyrics,
              (Order{{dir.file("song_t.txt"), false}}));
    // A text file that is no song never opens as one.
    EXPECT_FALSE(opensAsSong(dir.file("song_t.txt")));
}

}  // namespace
}  // namespace orba
