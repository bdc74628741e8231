// The scanner thread and its watch: songs copied in, changed or removed
// while the player runs show in the search without a rescan being asked.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <chrono>
#include <condition_variable>
#include <filesystem>
#include <thread>

#include "library/library.h"
#include "library/libraryscanner.h"
#include "tests/library/songfolder.h"

namespace orba {
namespace {

namespace fs = std::filesystem;
using test::SongFolder;
using test::titlesOf;
using Titles = std::vector<std::string>;

// Generous: the watch answers within a second or two; a loaded machine
// must not fail the test.
constexpr auto kDeadline = std::chrono::seconds(20);

class Scanner : public ::testing::Test {
protected:
    Scanner() { Library(songs.libraryFile()).addFolder(songs.songs()); }

    std::unique_ptr<LibraryScanner> start(bool watch = true) {
        LibraryScanner::Callbacks callbacks;
        callbacks.progress = [this](const ScanProgress&) { ++progressCalls; };
        callbacks.finished = [this](const ScanReport& r) {
            std::lock_guard lock(m_mutex);
            m_reports.push_back(r);
            m_finished.notify_all();
        };
        return std::make_unique<LibraryScanner>(songs.libraryFile(), songs.describer(), callbacks,
                                                watch);
    }

    // The reports of `n` scans, once they came.
    std::vector<ScanReport> waitForReports(std::size_t n) {
        std::unique_lock lock(m_mutex);
        m_finished.wait_for(lock, kDeadline, [&] { return m_reports.size() >= n; });
        return m_reports;
    }

    // Searches until the answer is `titles`; the answer at the deadline otherwise.
    Titles searchUntil(const std::string& text, const Titles& titles) {
        const auto end = std::chrono::steady_clock::now() + kDeadline;
        Titles found;
        do {
            found = titlesOf(m_reader.search(text));
            if (found == titles) break;
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        } while (std::chrono::steady_clock::now() < end);
        return found;
    }

    SongFolder songs;
    std::atomic<int> progressCalls{0};

private:
    Library m_reader{songs.libraryFile()};
    std::mutex m_mutex;
    std::condition_variable m_finished;
    std::vector<ScanReport> m_reports;
};

TEST_F(Scanner, ScansOnItsThreadAndReportsWhatItDid) {
    for (int i = 0; i < 600; ++i)
        songs.addSong("f" + std::to_string(i / 100) + "/s" + std::to_string(i) + ".mp3");
    auto scanner = start(false);
    scanner->rescan();
    const std::vector<ScanReport> reports = waitForReports(1);
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_TRUE(reports[0].complete);
    EXPECT_EQ(reports[0].added, 600u);
    EXPECT_GE(progressCalls, 2);  // along the way, and at the end
    // The report is handed over from the worker before it marks itself idle.
    const auto end = std::chrono::steady_clock::now() + kDeadline;
    while (scanner->busy() && std::chrono::steady_clock::now() < end)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    EXPECT_FALSE(scanner->busy());
}

TEST_F(Scanner, NoticesSongsAddedChangedAndRemovedWhileItRuns) {
    songs.addSong("first.mp3");
    songs.addSong("sub/deep/second.mp3");
    auto scanner = start();
    scanner->rescan();
    ASSERT_EQ(waitForReports(1).size(), 1u);

    songs.addSong("sub/deep/third.mp3", "wandering lyrics");
    EXPECT_EQ(searchUntil("third", {"third"}), Titles{"third"});

    test::writeFile(SongFolder::lyricFile(songs.song("sub/deep/third.mp3")), "settled lyrics");
    EXPECT_EQ(searchUntil("settled", {"third"}), Titles{"third"});

    fs::remove(songs.song("first.mp3"));
    EXPECT_EQ(searchUntil("first", {}), Titles{});

    // A folder made and filled after the scan is watched as well.
    songs.addSong("new/fourth.mp3");
    EXPECT_EQ(searchUntil("fourth", {"fourth"}), Titles{"fourth"});
    songs.addSong("new/fifth.mp3");
    EXPECT_EQ(searchUntil("fifth", {"fifth"}), Titles{"fifth"});

    fs::rename(songs.song("sub"), songs.song("moved-away"));
    EXPECT_EQ(searchUntil("second", {"second"}), Titles{"second"});  // under its new name
    fs::remove_all(songs.song("moved-away"));
    EXPECT_EQ(searchUntil("second", {}), Titles{});
}

TEST_F(Scanner, WithoutTheWatchLeavesChangesToTheNextRescan) {
    songs.addSong("first.mp3");
    auto scanner = start(false);
    scanner->rescan();
    ASSERT_EQ(waitForReports(1).size(), 1u);
    songs.addSong("second.mp3");
    scanner->rescan();
    ASSERT_EQ(waitForReports(2).size(), 2u);
    EXPECT_EQ(waitForReports(2)[1].added, 1u);
}

TEST_F(Scanner, StopsAScanInProgressWhenCancelledOrDestroyed) {
    for (int i = 0; i < 50; ++i) songs.addSong("s" + std::to_string(i) + ".mp3");
    std::atomic<bool> reading{false};
    std::atomic<bool> release{false};
    LibraryScanner::Callbacks callbacks;
    std::mutex m;
    std::condition_variable cv;
    std::vector<ScanReport> reports;
    callbacks.finished = [&](const ScanReport& r) {
        std::lock_guard lock(m);
        reports.push_back(r);
        cv.notify_all();
    };
    auto scanner = std::make_unique<LibraryScanner>(
        songs.libraryFile(),
        [&](const std::string& path) {
            reading = true;
            while (!release) std::this_thread::sleep_for(std::chrono::milliseconds(1));
            return describeByFileName(path);
        },
        callbacks, false);
    scanner->rescan();
    scanner->rescan();  // dropped by the cancel
    while (!reading) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    scanner->cancel();
    release = true;
    {
        std::unique_lock lock(m);
        cv.wait_for(lock, kDeadline, [&] { return !reports.empty(); });
    }
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_FALSE(reports[0].complete);
    EXPECT_EQ(reports[0].added, 1u);
    scanner.reset();
    EXPECT_EQ(reports.size(), 1u);
}

TEST(ScannerOfAFileItCannotOpen, SaysSoAndReportsEveryScanAsFailed) {
    test::TempDir dir;
    const std::string file = dir.file("library.db");
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(file.c_str(), &db), SQLITE_OK);
    // Written by a newer player: left as it is.
    sqlite3_exec(db, "CREATE TABLE future(x); PRAGMA user_version = 99;", nullptr, nullptr,
                 nullptr);
    sqlite3_close(db);

    std::mutex m;
    std::condition_variable cv;
    std::string notice;
    std::vector<ScanReport> reports;
    LibraryScanner::Callbacks callbacks;
    callbacks.notice = [&](const std::string& text) {
        std::lock_guard lock(m);
        notice = text;
    };
    callbacks.finished = [&](const ScanReport& r) {
        std::lock_guard lock(m);
        reports.push_back(r);
        cv.notify_all();
    };
    LibraryScanner scanner(file, {}, callbacks, false);
    scanner.rescan();
    std::unique_lock lock(m);
    cv.wait_for(lock, kDeadline, [&] { return !reports.empty(); });
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_FALSE(reports[0].complete);
    EXPECT_NE(reports[0].error.find("newer"), std::string::npos) << reports[0].error;
    EXPECT_EQ(notice, reports[0].error);
}

}  // namespace
}  // namespace orba
