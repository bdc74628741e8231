// The search as a singer types: every width, kana and letter case finds
// its song, titles and artists before lyrics, one or two characters too.
#include <gtest/gtest.h>

#include "library/library.h"
#include "tests/library/songfolder.h"

namespace orba {
namespace {

using test::titlesOf;
using Titles = std::vector<std::string>;

struct Song {
    const char* file;
    const char* title;
    const char* artist;
    const char* lyrics;
};

// Titles, artists and lyrics in the forms Japanese song files carry them.
constexpr Song kSongs[] = {
    {"asa.mp3", "アサノウタ", "ミナミ", "夜明けのまちに\nひかりがさして\nとりがなく"},
    {"karaoke.mid", "カラオケ天国", "Band of Echo", "うたえばたのしい\nMicrophone check"},
    {"blue.mp3", "Blue Sky", "Ｓｏｒａ Ｂａｎｄ", "The sky is wide\nand BLUE forever"},
    {"hane.kar", "ﾊﾈﾉｳﾀ", "ﾐﾅﾐ", "ｿﾗｦﾄﾌﾞ\nﾊﾟﾚｰﾄﾞのように"},
    {"ai.mp3", "愛", "うたびと", "こころのうた\r\nずっと\r\nことりの　うたが"},
    {"quote.ogg", "Say \"Hello\"", "Q", "hello hello"},
};

class Search : public ::testing::Test {
protected:
    void SetUp() override {
        for (const Song& s : kSongs) {
            SongFacts f;
            f.type = "audio";
            f.title = s.title;
            f.artist = s.artist;
            f.lyrics = s.lyrics;
            songs.tell(songs.addSong(s.file), f);
        }
        library.addFolder(songs.songs());
        ASSERT_TRUE(library.rescan().complete);
    }

    test::SongFolder songs;
    Library library{songs.libraryFile(), songs.describer()};
};

struct Query {
    const char* text;
    Titles titles;
};

void PrintTo(const Query& q, std::ostream* os) {
    *os << '"' << q.text << '"';
}

class SearchFinds : public Search, public ::testing::WithParamInterface<Query> {};

TEST_P(SearchFinds, TheSongsThatHoldEveryWord) {
    EXPECT_EQ(titlesOf(library.search(GetParam().text)), GetParam().titles) << GetParam().text;
}

INSTANTIATE_TEST_SUITE_P(
    Titles, SearchFinds,
    ::testing::Values(Query{"あさのうた", {"アサノウタ"}}, Query{"ｱｻﾉｳﾀ", {"アサノウタ"}},
                      Query{"ｶﾗｵｹ", {"カラオケ天国"}}, Query{"からおけ", {"カラオケ天国"}},
                      Query{"はねのうた", {"ﾊﾈﾉｳﾀ"}}, Query{"ハネノ", {"ﾊﾈﾉｳﾀ"}},
                      Query{"BLUE SKY", {"Blue Sky"}}, Query{"ｂｌｕｅ", {"Blue Sky"}},
                      Query{"sky　blue", {"Blue Sky"}}, Query{"\"hello\"", {"Say \"Hello\""}}));

INSTANTIATE_TEST_SUITE_P(Artists, SearchFinds,
                         ::testing::Values(Query{"sora band", {"Blue Sky"}},
                                           Query{"echo", {"カラオケ天国"}},
                                           Query{"うたびと", {"愛"}}));

// A word in the lyrics finds the song, and so does one that is only there.
INSTANTIATE_TEST_SUITE_P(
    Lyrics, SearchFinds,
    ::testing::Values(Query{"ソラヲトブ", {"ﾊﾈﾉｳﾀ"}}, Query{"ぱれーど", {"ﾊﾈﾉｳﾀ"}},
                      Query{"ヒカリガ", {"アサノウタ"}}, Query{"microphone", {"カラオケ天国"}},
                      Query{"forever wide", {"Blue Sky"}}, Query{"the blue", {"Blue Sky"}},
                      Query{"sky nowhere", {}}, Query{"ずっと うた", {"愛"}},
                      // A line as remembered, without its author's spaces.
                      Query{"ことりのうた", {"愛"}}, Query{"skyiswide", {"Blue Sky"}},
                      // "ここ" stands in those lyrics, but is too short to be
                      // looked for there.
                      Query{"ずっと ここ", {}}));

// Words too short for the index: titles and artists only, those that
// begin with the word first.
INSTANTIATE_TEST_SUITE_P(ShortWords, SearchFinds,
                         ::testing::Values(Query{"愛", {"愛"}}, Query{"ｱ", {"アサノウタ"}},
                                           Query{"うた", {"アサノウタ", "ﾊﾈﾉｳﾀ", "愛"}},
                                           Query{"bl", {"Blue Sky"}},
                                           Query{"ﾐﾅ", {"アサノウタ", "ﾊﾈﾉｳﾀ"}},
                                           Query{"y", {"Blue Sky", "Say \"Hello\""}},
                                           Query{"ず", {}},
                                           Query{"ミナ うた", {"アサノウタ", "ﾊﾈﾉｳﾀ"}},
                                           Query{"", {}}, Query{"  　", {}}));

TEST_F(Search, TellsTheLyricLineThatMatchedAsTheSongShowsIt) {
    const std::vector<SearchHit> hits = library.search("ひかりが");
    ASSERT_EQ(hits.size(), 1u);
    EXPECT_EQ(hits[0].line, "ひかりがさして");
    EXPECT_EQ(hits[0].artist, "ミナミ");
    EXPECT_EQ(hits[0].path, songs.song("asa.mp3"));
    EXPECT_EQ(library.search("ﾊﾟﾚｰﾄﾞ")[0].line, "ﾊﾟﾚｰﾄﾞのように");
    EXPECT_EQ(library.search("ココロノ")[0].line, "こころのうた");  // without its "\r"
    EXPECT_EQ(library.search("blue forever")[0].line, "and BLUE forever");
    EXPECT_EQ(library.search("ことりのうたが")[0].line, "ことりの　うたが");
    EXPECT_EQ(library.search("blue sky")[0].line, "");  // the title matched
}

TEST_F(Search, PutsTitleAndArtistMatchesBeforeLyricMatches) {
    // "のうた" stands in two titles and in a third song's lyrics.
    EXPECT_EQ(titlesOf(library.search("のうた")), (Titles{"アサノウタ", "ﾊﾈﾉｳﾀ", "愛"}));
    const std::vector<SearchHit> hits = library.search("hello");
    ASSERT_EQ(hits.size(), 1u);
    EXPECT_EQ(hits[0].line, "");
}

TEST_F(Search, ShortWordsNarrowWhatALongerOneFinds) {
    EXPECT_EQ(titlesOf(library.search("のうた ﾊ")), Titles{"ﾊﾈﾉｳﾀ"});
    EXPECT_EQ(titlesOf(library.search("のうた 愛")),
              Titles{"愛"});  // the title narrows a lyric match
}

TEST_F(Search, GivesNoMoreThanTheLimit) {
    EXPECT_EQ(library.search("うた", 2).size(), 2u);
    EXPECT_EQ(library.search("のうた", 1).size(), 1u);
    EXPECT_TRUE(library.search("うた", 0).empty());
}

TEST_F(Search, LeavesOutSongsWhoseFolderIsAway) {
    std::filesystem::rename(songs.songs(), songs.songs() + "-away");
    library.rescan();
    EXPECT_TRUE(library.search("あさのうた").empty());
    EXPECT_TRUE(library.search("ｱ").empty());
}

}  // namespace
}  // namespace orba
