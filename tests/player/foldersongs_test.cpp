#include "player/foldersongs.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>

#include "player/playerstate.h"
#include "player/songclock.h"
#include "settings/settings.h"
#include "tests/support/tempdir.h"

namespace orba {
namespace {

using test::TempDir;
using test::writeFile;
using Songs = std::vector<std::string>;

class FolderSongs : public ::testing::Test {
protected:
    void make(std::initializer_list<const char*> names) {
        for (const char* n : names) writeFile(dir.file(n), "");
    }
    std::string at(const char* name) const { return dir.file(name); }

    TempDir dir;
    Songs cache;
};

TEST_F(FolderSongs, ListsOnlyMusicSortedWithoutRegardToCase) {
    make({"b.mp3", "A.wav", "c.MID", "notes.txt", "noext"});
    std::filesystem::create_directory(dir.file("sub.mp3"));
    EXPECT_EQ(listFolderSongs(at("b.mp3")), (Songs{at("A.wav"), at("b.mp3"), at("c.MID")}));
}

TEST_F(FolderSongs, StepsWrapAroundAndAMissingPathStepsToTheFirstOrTheLast) {
    make({"a.mp3", "b.mp3", "c.mp3"});
    struct Case {
        const char* from;
        int offset;
        const char* to;
    } cases[] = {
        {"c.mp3", +1, "a.mp3"},   {"a.mp3", -1, "c.mp3"},    {"b.mp3", +1, "c.mp3"},
        {"b.mp3", 0, "b.mp3"},    {"gone.mp3", +1, "a.mp3"}, {"gone.mp3", -1, "c.mp3"},
        {"gone.mp3", 0, "c.mp3"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(folderSong(at(c.from), c.offset, at(c.from), cache), at(c.to)) << c.from;
}

TEST_F(FolderSongs, ASingleSongIsItsOwnNeighbour) {
    make({"only.ogg", "only.txt"});
    EXPECT_EQ(folderSong(at("only.ogg"), +1, at("only.ogg"), cache), at("only.ogg"));
}

TEST_F(FolderSongs, TheListIsKeptWhileTheCurrentSongIsInIt) {
    make({"a.mp3", "c.mp3"});
    EXPECT_EQ(folderSong(at("a.mp3"), +1, at("a.mp3"), cache), at("c.mp3"));
    make({"b.mp3"});
    std::remove(at("c.mp3").c_str());
    // Neither the new file nor the deleted one is noticed: the deleted song
    // is still offered and its open will be refused.
    EXPECT_EQ(folderSong(at("a.mp3"), +1, at("a.mp3"), cache), at("c.mp3"));
    // A song of the folder that is not in the list makes it be read again.
    EXPECT_EQ(folderSong(at("a.mp3"), +1, at("b.mp3"), cache), at("b.mp3"));
    EXPECT_EQ(cache, (Songs{at("a.mp3"), at("b.mp3")}));
}

TEST_F(FolderSongs, ACaseVariantOfTheCurrentSongStillFindsIt) {
    make({"a.mp3", "Song.mp3", "z.mp3"});
    std::string variant = at("SONG.MP3");
    EXPECT_EQ(folderSong(variant, +1, variant, cache), at("z.mp3"));
}

TEST_F(FolderSongs, NamesThatDifferOnlyInCaseAreEachReachable) {
    make({"a.mp3", "A.mp3", "b.mp3"});
    std::string song = folderSong(at("b.mp3"), +1, at("b.mp3"), cache);
    std::vector<std::string> visited{song};
    for (int i = 0; i < 2; ++i) visited.push_back(song = folderSong(song, +1, song, cache));
    std::sort(visited.begin(), visited.end());
    EXPECT_EQ(visited, (Songs{at("A.mp3"), at("a.mp3"), at("b.mp3")}));
}

TEST_F(FolderSongs, AFolderThatIsGoneOrHoldsNoMusicGivesAnEmptyPath) {
    make({"readme.txt"});
    EXPECT_EQ(folderSong(at("x.mp3"), +1, at("x.mp3"), cache), "");
    EXPECT_EQ(folderSong("/nonexistent-orba/x.mp3", -1, "/nonexistent-orba/x.mp3", cache), "");
    // A path without a folder is not looked for in the current folder.
    EXPECT_EQ(folderSong("", +1, "", cache), "");
}

TEST(FolderSongsLarge, FiveThousandSongsKeepTheirOrder) {
    TempDir dir(::access("/dev/shm", W_OK) == 0 ? "/dev/shm"
                                                : std::filesystem::temp_directory_path());
    auto at = [&](const char* name) { return dir.file(name); };
    Songs cache;
    for (int i = 4999; i >= 0; --i) {
        char name[32];
        std::snprintf(name, sizeof name, i % 2 ? "Song%04d.mp3" : "song%04d.wav", i);
        writeFile(dir.file(name), "");
    }
    std::string last = at("Song4999.mp3");
    EXPECT_EQ(folderSong(last, +1, last, cache), at("song0000.wav"));
    ASSERT_EQ(cache.size(), 5000u);
    EXPECT_EQ(cache[1], at("Song0001.mp3"));
    EXPECT_EQ(folderSong(at("Song0001.mp3"), -1, last, cache), at("song0000.wav"));
}

Songs numbered(int n) {
    Songs songs;
    for (int i = 1; i <= n; ++i) songs.push_back("/m/" + std::to_string(i) + ".mp3");
    return songs;
}

TEST(PlayList, ShowsTheTwentySongsBeforeTheCurrentOne) {
    std::string text = playListText(numbered(40), "/m/30.mp3");
    std::string expected = "[30/40]|";
    for (int i = 10; i < 30; ++i) expected += "    " + std::to_string(i) + ".mp3|";
    expected += "> 30.mp3|";
    EXPECT_EQ(text, expected);
}

TEST(PlayList, ACurrentSongMissingFromTheListMarksNone) {
    std::string text = playListText(numbered(25), "/elsewhere/x.mp3");
    EXPECT_EQ(text.substr(0, 17), "[0/25]|    1.mp3|");
    EXPECT_EQ(text.find("> "), std::string::npos);
    EXPECT_EQ(std::count(text.begin(), text.end(), '|'), 22);  // header and 21 names
}

TEST(SongEnd, IsComparedInHundredths) {
    PlayerState st;
    st.songLength = 59999;
    st.songTime = 59990;
    EXPECT_TRUE(songEnded(st));
    st.songTime = 59989;
    EXPECT_FALSE(songEnded(st));
}

TEST(SongEnd, FolderPlayDecidesBetweenTheNextSongAndTheSameOne) {
    struct Case {
        bool useBgm, folderRepeat;
        SongEndAction action;
    } cases[] = {
        {true, true, SongEndAction::NextSong},
        {true, false, SongEndAction::Replay},
        {false, true, SongEndAction::RestartLyrics},
    };
    for (const Case& c : cases) {
        Settings s;
        s.useBgm = c.useBgm;
        s.folderRepeat = c.folderRepeat;
        PlayerState st;
        st.songTime = 60000;
        st.currentLine = 7;
        EXPECT_EQ(endOfSong(s, st), c.action);
        EXPECT_EQ(st.songTime, 0);
        EXPECT_EQ(st.currentLine, 0);
    }
}

TEST(SongEnd, TheNextSongIsAnnouncedWithoutItsExtension) {
    EXPECT_EQ(nextSongMessage("/m/My Song.mp3"), "My Song");
    // A character is taken off whole, never a byte of it.
    EXPECT_EQ(nextSongMessage("/m/\xE6\xAD\x8C.ogg"), "\xE6\xAD\x8C");
    EXPECT_EQ(nextSongMessage("/m/a.\xE6\xAD\x8C\xE6\xAD\x8C\xE6\xAD\x8C"), "a");
    EXPECT_EQ(playListText({"/m/\xE6\xAD\x8C.mp3"}, "/m/\xE6\xAD\x8C.mp3"),
              "[1/1]|> \xE6\xAD\x8C.mp3|");
}

}  // namespace
}  // namespace orba
