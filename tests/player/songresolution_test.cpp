#include "player/songresolution.h"

#include <gtest/gtest.h>

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

}  // namespace
}  // namespace orba
