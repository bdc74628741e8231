// Scans and rescans of song folders: what is read, what is kept, what goes.
#include <gtest/gtest.h>
#include <linux/capability.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <filesystem>

#include "library/library.h"
#include "tests/library/songfolder.h"

namespace orba {
namespace {

namespace fs = std::filesystem;
using test::SongFolder;
using test::titlesOf;

class Scan : public ::testing::Test {
protected:
    Library& library() {
        if (!m_library) {
            m_library = std::make_unique<Library>(songs.libraryFile(), songs.describer());
            m_library->addFolder(songs.songs());
        }
        return *m_library;
    }
    int readsOfRescan() {
        songs.calls = 0;
        const ScanReport r = library().rescan();
        EXPECT_TRUE(r.complete) << r.error;
        return songs.calls;
    }

    SongFolder songs;

private:
    std::unique_ptr<Library> m_library;
};

TEST_F(Scan, FindsEveryMusicFileDownTheTreeAndNothingElse) {
    songs.addSong("a.mp3");
    songs.addSong("x/b.MID");
    songs.addSong("x/y/c.kar");
    songs.addSong("x/y/z/d.ogg");
    test::writeFile(songs.song("x/notes.txt"), "no song");
    test::writeFile(songs.song("x/cover.jpg"), "no song");
    songs.addSong(".hidden/e.mp3");
    songs.addSong("x/.f.mp3");
    const ScanReport r = library().rescan();
    EXPECT_TRUE(r.complete);
    EXPECT_EQ(r.added, 4u);
    EXPECT_EQ(songs.calls, 4);
    const LibraryStats s = library().stats();
    EXPECT_EQ(s.songs, 4);
    using Count = std::pair<std::string, std::int64_t>;
    EXPECT_EQ(s.types, (std::vector<Count>{{"audio", 2}, {"midi", 2}}));
}

TEST_F(Scan, RescanReadsNothingWhenNothingChanged) {
    for (int i = 0; i < 30; ++i)
        songs.addSong("f" + std::to_string(i % 3) + "/s" + std::to_string(i) + ".mp3", "la");
    EXPECT_EQ(readsOfRescan(), 30);
    EXPECT_EQ(readsOfRescan(), 0);
    const ScanReport r = library().rescan();
    EXPECT_EQ(r.filesSeen, 30u);
    EXPECT_EQ(r.filesRead, 0u);
}

TEST_F(Scan, RescanReadsASongAgainWhenItOrAFileBesideItChanged) {
    const std::string a = songs.addSong("a.mp3", "old words");
    const std::string b = songs.addSong("b.mp3");
    const std::string c = songs.addSong("c.mp3");
    songs.addSong("d.mp3");
    readsOfRescan();

    test::writeFile(songs.song("ab.txt"), "another name that begins alike");
    test::writeFile(songs.song("a-cover.jpg"), "");
    EXPECT_EQ(readsOfRescan(), 0);

    test::writeFile(SongFolder::lyricFile(a), "new words");  // the lyric file beside it
    EXPECT_EQ(readsOfRescan(), 1);
    EXPECT_EQ(titlesOf(library().search("new words")), std::vector<std::string>{"a"});
    EXPECT_TRUE(library().search("old words").empty());

    test::writeFile(b, "longer music than before");  // its size
    EXPECT_EQ(readsOfRescan(), 1);

    fs::last_write_time(c, fs::last_write_time(c) - std::chrono::hours(1));  // its time alone
    EXPECT_EQ(readsOfRescan(), 1);

    test::writeFile(fs::path(c).replace_extension(".lrc").string(), "[00:01.00]x");
    test::writeFile(fs::path(c).replace_extension("").string() + "_t.txt", "x");
    EXPECT_EQ(readsOfRescan(), 1);
    fs::remove(fs::path(c).replace_extension(".lrc"));
    EXPECT_EQ(readsOfRescan(), 1);
}

TEST_F(Scan, DropsSongsWhoseFilesAreGone) {
    const std::string a = songs.addSong("a.mp3", "first words");
    songs.addSong("sub/b.mp3");
    songs.addSong("c.mp3");
    library().rescan();
    fs::remove(a);
    fs::remove_all(songs.song("sub"));
    const ScanReport r = library().rescan();
    EXPECT_EQ(r.removed, 2u);
    EXPECT_EQ(library().stats().songs, 1);
    EXPECT_TRUE(library().search("first words").empty());
    EXPECT_TRUE(library().search("a").empty());
}

TEST_F(Scan, KeepsTheSongsOfAFolderThatCannotBeReachedAsMissing) {
    songs.addSong("a.mp3");
    songs.addSong("sub/b.mp3");
    library().rescan();
    fs::rename(songs.songs(), songs.songs() + "-unplugged");
    ScanReport r = library().rescan();
    EXPECT_EQ(r.missing, 2u);
    EXPECT_EQ(r.removed, 0u);
    EXPECT_EQ(library().stats().missing, 2);
    EXPECT_TRUE(library().search("a").empty());

    fs::rename(songs.songs() + "-unplugged", songs.songs());
    songs.calls = 0;
    r = library().rescan();
    EXPECT_EQ(songs.calls, 0);  // unchanged: back without reading
    EXPECT_EQ(library().stats().songs, 2);
    EXPECT_EQ(library().stats().missing, 0);
    EXPECT_EQ(titlesOf(library().search("a")), std::vector<std::string>{"a"});
}

TEST_F(Scan, ACancelledScanKeepsWhatItReadAndTheNextGoesOnFromThere) {
    for (int i = 0; i < 40; ++i) songs.addSong("s" + std::to_string(i) + ".mp3");
    std::atomic<bool> cancel{false};
    ScanControl control;
    control.cancel = &cancel;
    Library cut(songs.libraryFile(), [&](const std::string& path) {
        if (++songs.calls == 15) cancel = true;
        return describeByFileName(path);
    });
    cut.addFolder(songs.songs());
    const ScanReport first = cut.rescan(control);
    EXPECT_FALSE(first.complete);
    EXPECT_EQ(first.added, 15u);
    EXPECT_EQ(cut.stats().songs, 15);

    EXPECT_EQ(readsOfRescan(), 25);
    EXPECT_EQ(library().stats().songs, 40);
}

TEST_F(Scan, FollowsLinksToFoldersButEntersEachFolderOnce) {
    songs.addSong("a/one.mp3");
    songs.addSong("b/two.mp3");
    test::TempDir elsewhere;
    test::writeFile(elsewhere.file("three.mp3"), "music");
    fs::create_directory_symlink(songs.songs(), songs.song("a/loop"));      // back up the tree
    fs::create_directory_symlink(songs.song("b"), songs.song("a/again"));   // b a second time
    fs::create_directory_symlink(elsewhere.path(), songs.song("outside"));  // out of the tree
    const ScanReport r = library().rescan();
    EXPECT_TRUE(r.complete);
    EXPECT_EQ(r.added, 3u);
    EXPECT_EQ(r.repeatedFolders, 2u);
    const std::vector<SearchHit> three = library().search("three");
    ASSERT_EQ(three.size(), 1u);
    EXPECT_EQ(three[0].path, songs.song("outside/three.mp3"));
}

TEST_F(Scan, CountsABrokenLinkWithItsReason) {
    songs.addSong("a.mp3");
    fs::create_symlink(songs.song("nowhere.mp3"), songs.song("broken.mp3"));
    const ScanReport r = library().rescan();
    EXPECT_EQ(r.added, 1u);
    EXPECT_EQ(r.skipped, 1u);
    using Count = std::pair<std::string, std::int64_t>;
    EXPECT_EQ(library().stats().skipped, (std::vector<Count>{{"broken link", 1}}));
    fs::remove(songs.song("broken.mp3"));
    library().rescan();
    EXPECT_TRUE(library().stats().skipped.empty());
}

// Root reads any folder whatever its mode; this thread gives up that right
// while it scans, so that a folder closed to the user is closed to it too.
class AsPlainUser {
public:
    AsPlainUser() {
        if (::syscall(SYS_capget, &m_header, m_data) != 0) return;
        m_saved = m_data[0].effective;
        m_data[0].effective &= ~((1u << CAP_DAC_OVERRIDE) | (1u << CAP_DAC_READ_SEARCH));
        ::syscall(SYS_capset, &m_header, m_data);
    }
    ~AsPlainUser() {
        m_data[0].effective = m_saved;
        ::syscall(SYS_capset, &m_header, m_data);
    }

private:
    __user_cap_header_struct m_header{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct m_data[2]{};
    std::uint32_t m_saved = 0;
};

TEST_F(Scan, SkipsUnreadableFilesAndFoldersAndKeepsTheSongsBehindThem) {
    songs.addSong("open/a.mp3");
    songs.addSong("closed/b.mp3");
    library().rescan();
    ASSERT_EQ(library().stats().songs, 2);

    const std::string locked = songs.addSong("open/locked.mp3");
    fs::permissions(locked, fs::perms::none);
    fs::permissions(songs.song("closed"), fs::perms::none);
    ScanReport r;
    {
        AsPlainUser user;
        r = library().rescan();
    }
    fs::permissions(songs.song("closed"), fs::perms::owner_all);
    EXPECT_TRUE(r.complete);
    EXPECT_EQ(r.skipped, 2u);
    EXPECT_EQ(r.missing, 1u);  // b: its folder may open again
    EXPECT_EQ(r.removed, 0u);
    EXPECT_EQ(library().stats().songs, 1);
    using Count = std::pair<std::string, std::int64_t>;
    EXPECT_EQ(library().stats().skipped,
              (std::vector<Count>{{"folder unreadable", 1}, {"no access", 1}}));

    // Neither is left out for good: both are read once they can be.
    fs::permissions(locked, fs::perms::owner_read | fs::perms::owner_write);
    r = library().rescan();
    EXPECT_EQ(r.added, 1u);
    EXPECT_EQ(library().stats().songs, 3);
    EXPECT_EQ(library().stats().missing, 0);
    EXPECT_TRUE(library().stats().skipped.empty());
}

TEST_F(Scan, LeavesOutAFileItsDescriberRefusesUntilTheFileChanges) {
    const std::string bad = songs.addSong("bad.mp3");
    songs.addSong("good.mp3");
    Library lib(songs.libraryFile(), [&](const std::string& path) -> std::optional<SongFacts> {
        ++songs.calls;
        if (path == bad) return std::nullopt;
        return describeByFileName(path);
    });
    lib.addFolder(songs.songs());
    EXPECT_EQ(lib.rescan().skipped, 1u);
    songs.calls = 0;
    EXPECT_EQ(lib.rescan().skipped, 1u);
    EXPECT_EQ(songs.calls, 0);
    test::writeFile(bad, "mended, but still refused");
    lib.rescan();
    EXPECT_EQ(songs.calls, 1);
}

TEST_F(Scan, AFolderInsideAnotherIsWalkedOnceAndItsSongsStayWhileEitherHoldsThem) {
    songs.addSong("a.mp3");
    songs.addSong("inner/b.mp3");
    library().addFolder(songs.song("inner"));
    EXPECT_FALSE(library().addFolder(songs.songs() + "/"));  // the same folder
    EXPECT_EQ(library().rescan().filesSeen, 2u);

    EXPECT_TRUE(library().removeFolder(songs.song("inner")));
    EXPECT_EQ(library().stats().songs, 2);
    library().addFolder(songs.song("inner"));
    EXPECT_TRUE(library().removeFolder(songs.songs()));
    EXPECT_EQ(titlesOf(library().search("b")), std::vector<std::string>{"b"});
    EXPECT_EQ(library().stats().songs, 1);
    EXPECT_FALSE(library().removeFolder(songs.songs()));
}

TEST_F(Scan, SongsOfAFolderLetGoWhileItWasScannedGoWhenTheScanEnds) {
    for (int i = 0; i < 5; ++i) songs.addSong("s" + std::to_string(i) + ".mp3");
    Library window(songs.libraryFile());
    window.addFolder(songs.songs());
    Library scanner(songs.libraryFile(), [&](const std::string& path) {
        if (++songs.calls == 1) window.removeFolder(songs.songs());
        return describeByFileName(path);
    });
    const ScanReport r = scanner.rescan();
    EXPECT_TRUE(r.complete);
    EXPECT_EQ(r.removed, 5u);
    EXPECT_EQ(window.stats().songs, 0);
}

TEST_F(Scan, AFolderRescanLooksAtThatFolderAlone) {
    songs.addSong("a/one.mp3");
    songs.addSong("a/deeper/two.mp3");
    songs.addSong("b/three.mp3");
    library().rescan();
    songs.addSong("a/four.mp3");
    songs.addSong("a/deeper/five.mp3");
    fs::remove(songs.song("b/three.mp3"));
    const ScanReport r = library().rescanFolder(songs.song("a"), ScanDepth::FolderOnly);
    EXPECT_EQ(r.added, 1u);
    EXPECT_EQ(r.removed, 0u);
    EXPECT_EQ(r.filesSeen, 2u);
    EXPECT_EQ(library().rescanFolder(songs.song("a"), ScanDepth::Tree).added, 1u);

    test::TempDir outside;
    test::writeFile(outside.file("x.mp3"), "");
    EXPECT_EQ(library().rescanFolder(outside.path(), ScanDepth::Tree).filesSeen, 0u);
}

}  // namespace
}  // namespace orba
