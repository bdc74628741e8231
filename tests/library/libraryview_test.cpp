#include "library/libraryview.h"

#include <gtest/gtest.h>

#include <set>

namespace orba {
namespace {

FileExists onDisk(std::set<std::string> files) {
    return [files = std::move(files)](const std::string& p) { return files.count(p) > 0; };
}

ResultRow row(std::string path, std::string title = "t") {
    return {std::move(path), std::move(title), {}, {}, false};
}

TEST(LibraryViewTest, RowTextShowsNamesTheMatchedLineAndTheMissingMark) {
    struct Case {
        ResultRow row;
        const char* text;
    } cases[] = {
        {{"/m/a.mp3", "あさのうた", "開発者", "", false}, "あさのうた / 開発者"},
        {{"/m/a.mp3", "あさのうた", "", "", false}, "あさのうた"},
        {{"/m/a.mp3", "あさのうた", "開発者", "ことりの　うたが", false},
         "あさのうた / 開発者\n    ことりの　うたが"},
        {{"/m/a.mp3", "あさのうた", "", "そら", true},
         "あさのうた（ファイルがありません）\n    そら"},
        // A row without a title is named after its file.
        {{"/m/b.kar", "", "", "", false}, "b.kar"},
    };
    for (const Case& c : cases) EXPECT_EQ(rowText(c.row), c.text) << c.text;
}

TEST(LibraryViewTest, RowsOfFilesGoneSinceTheScanAreMarkedMissing) {
    const std::vector<SearchHit> hits = {
        {1, "/m/here.mp3", "Here", "A", ""},
        {2, "/m/gone.mp3", "Gone", "", "a line"},
        {3, "/m/untitled.mid", "", "", ""},
    };
    const std::vector<ResultRow> rows =
        resultRows(hits, onDisk({"/m/here.mp3", "/m/untitled.mid"}));
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_FALSE(rows[0].missing);
    EXPECT_TRUE(rows[1].missing);
    EXPECT_EQ(rows[1].line, "a line");
    EXPECT_EQ(rows[2].title, "untitled.mid");
    EXPECT_FALSE(rows[2].missing);
}

TEST(LibraryViewTest, SongsThatReadAlikeShowTheirFilesNames) {
    const std::vector<SearchHit> hits = {
        {1, "/m/demo.mid", "demo", "", "a line"},
        {2, "/m/demo.mp3", "demo", "", "a line"},
        {3, "/m/other.mp3", "demo", "Someone", ""},
        {4, "/m/x/same.kar", "", "", ""},
        {5, "/m/y/same.kar", "", "", ""},
    };
    const std::vector<ResultRow> rows = resultRows(hits, onDisk({}));
    ASSERT_EQ(rows.size(), 5u);
    EXPECT_EQ(rows[0].title, "demo (demo.mid)");
    EXPECT_EQ(rows[1].title, "demo (demo.mp3)");
    EXPECT_EQ(rows[2].title, "demo");  // another artist tells it apart
    // Rows already named by their files gain nothing by naming them twice.
    EXPECT_EQ(rows[3].title, "same.kar");
}

TEST(LibraryViewTest, KeysMoveTheSelectionAndStopAtEitherEnd) {
    struct Case {
        int selected, rows;
        PanelKey key;
        int pageRows, expected;
    } cases[] = {
        {-1, 5, PanelKey::Down, 3, 0},  // nothing chosen yet: the first row
        {-1, 5, PanelKey::Up, 3, 0},      {0, 5, PanelKey::Down, 3, 1},
        {4, 5, PanelKey::Down, 3, 4},  // the last row holds
        {0, 5, PanelKey::Up, 3, 0},    // so does the first
        {1, 5, PanelKey::PageDown, 3, 4}, {3, 5, PanelKey::PageDown, 3, 4},
        {4, 5, PanelKey::PageUp, 3, 1},   {2, 5, PanelKey::PageUp, 3, 0},
        {2, 5, PanelKey::PageDown, 0, 3},  // a list too low for a row still moves by one
        {7, 5, PanelKey::Up, 3, 0},        // a selection the list lost starts over
        {0, 0, PanelKey::Down, 3, -1},    {-1, 0, PanelKey::Up, 3, -1},
    };
    for (const Case& c : cases)
        EXPECT_EQ(movedSelection(c.selected, c.rows, c.key, c.pageRows), c.expected)
            << c.selected << " of " << c.rows << " key " << static_cast<int>(c.key);
}

TEST(LibraryViewTest, EnterPlaysTheChosenRowOrTheFirst) {
    const std::vector<ResultRow> rows = {row("/m/a.mp3"), row("/m/b.mp3")};
    const FileExists both = onDisk({"/m/a.mp3", "/m/b.mp3"});

    RowChoice c = chooseRow(rows, 1, both);
    EXPECT_EQ(c.kind, RowChoice::Kind::Play);
    EXPECT_EQ(c.path, "/m/b.mp3");
    EXPECT_EQ(chooseRow(rows, -1, both).path, "/m/a.mp3");
    EXPECT_EQ(chooseRow(rows, 9, both).path, "/m/a.mp3");
    EXPECT_EQ(chooseRow({}, 0, both).kind, RowChoice::Kind::Nothing);
}

TEST(LibraryViewTest, EnterOnAFileGoneSaysSoInsteadOfPlaying) {
    // Listed as present, deleted before Enter: the file is looked at again.
    const std::vector<ResultRow> rows = {row("/m/a.mp3", "あさのうた")};
    const RowChoice c = chooseRow(rows, 0, onDisk({}));
    EXPECT_EQ(c.kind, RowChoice::Kind::Missing);
    EXPECT_EQ(c.message, "「あさのうた」のファイルがありません: /m/a.mp3");
}

TEST(LibraryViewTest, PanelNoteTellsWhatTheListCannot) {
    struct Case {
        PanelFacts facts;
        const char* note;
    } cases[] = {
        {{"database is locked", "", 2, "abc", 0}, "ライブラリを開けません: database is locked"},
        {{"", "", 0, "abc", 0},
         "ライブラリにフォルダがありません。設定の「ライブラリ」ページで追加してください。"},
        {{"", "", 1, "", 0}, "曲名・歌手名・歌詞の一部を入力してください"},
        {{"", "", 1, "\u3000 ", 0}, "曲名・歌手名・歌詞の一部を入力してください"},
        {{"", "", 1, "xyz", 0}, "見つかりません"},
        {{"", "", 1, "うた", 12}, "12 曲"},
        {{"", "kept as library.db.damaged-1", 1, "うた", 1}, "kept as library.db.damaged-1\n1 曲"},
    };
    for (const Case& c : cases) EXPECT_EQ(panelNote(c.facts), c.note) << c.note;
}

TEST(LibraryViewTest, OnlyScansThatReadSongsReachTheStatusLine) {
    ScanProgress p;
    p.folder = "/home/u/Music/カラオケ";
    p.filesSeen = 800;
    EXPECT_FALSE(scanProgressStatus(p));  // the start-up check of an unchanged library
    p.filesRead = 40;
    EXPECT_EQ(scanProgressStatus(p), "ライブラリを更新中: カラオケ 40 曲");

    ScanReport r;
    r.complete = true;
    r.filesSeen = 800;
    EXPECT_FALSE(scanFinishedStatus(r));
    r.added = 3;
    r.removed = 1;
    EXPECT_EQ(scanFinishedStatus(r), "ライブラリを更新しました: 追加 3・削除 1");
    r.error = "disk I/O error";
    EXPECT_EQ(scanFinishedStatus(r), "ライブラリの更新に失敗しました: disk I/O error");
}

}  // namespace
}  // namespace orba
