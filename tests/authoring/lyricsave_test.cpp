#include "authoring/lyricsave.h"

#include <grp.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <set>

#include "tests/lyrics/sj.h"
#include "tests/support/tempdir.h"

namespace orba {
namespace {

namespace fs = std::filesystem;
using Lines = std::vector<std::string>;
using Names = std::set<std::string>;

// The player's own form: Shift-JIS, CR LF after every line but the end entry.
std::string ownBytes(const Lines& lines) {
    std::string bytes;
    for (std::size_t i = 0; i + 1 < lines.size(); ++i) bytes.append(lines[i]).append("\r\n");
    return bytes;
}

void saveInOwnForm(const std::string& file, const Lines& lines) {
    LyricForm form;
    saveLyricSource(file, "", lines, form);
}

class LyricSave : public ::testing::Test {
protected:
    void SetUp() override { test::writeFile(m_file, m_original); }

    // The lyric file byte for byte, no temporary file, the lines as they were.
    void expectUntouched(const Names& names) {
        EXPECT_EQ(test::readFile(m_file), m_original);
        Names found;
        for (const fs::directory_entry& e : fs::directory_iterator(m_dir.path()))
            found.insert(e.path().filename().string());
        EXPECT_EQ(found, names);
        EXPECT_EQ(m_lines, m_edited);
    }

    // Root may create files in any folder: then the save runs as "nobody" in
    // a child. 0: LyricSaveError, 1: saved, 2: another error, 3+: set-up.
    int saveAsUnprivilegedUser() {
        auto attempt = [&] {
            try {
                saveInOwnForm(m_file, m_lines);
                return 1;
            } catch (const LyricSaveError&) {
                return 0;
            } catch (...) {
                return 2;
            }
        };
        if (::geteuid() != 0) return attempt();
        pid_t pid = ::fork();
        if (pid == 0) {
            if (::setgroups(0, nullptr) != 0 || ::setgid(65534) != 0 || ::setuid(65534) != 0)
                ::_exit(3);
            ::_exit(::access(m_file.c_str(), R_OK | W_OK) == 0 ? attempt() : 4);
        }
        int status = 0;
        ::waitpid(pid, &status, 0);
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

    test::TempDir m_dir;
    const std::string m_file = m_dir.file("song.txt");
    const std::string m_backup = m_dir.file("song_org.txt");
    const std::string m_original = test::sj("// 作詞\r\nあの空\r\n\r\n[00:10:00]夕焼け\r\n");
    Lines m_lines = {test::sj("[00:00:00]あの空"), test::sj("[00:05:00]夕焼け"), ""};
    Lines m_edited = m_lines;
};

TEST_F(LyricSave, FirstSaveKeepsTheOriginalLaterSavesLeaveTheBackupAlone) {
    for (const char* tag : {"[00:05:00]", "[00:07:00]", "[00:08:00]"}) {
        m_lines[1] = tag + test::sj("夕焼け");
        saveInOwnForm(m_file, m_lines);
        EXPECT_EQ(test::readFile(m_file), test::sj("[00:00:00]あの空\r\n") + m_lines[1] + "\r\n");
        EXPECT_EQ(test::readFile(m_backup), m_original);
    }
    EXPECT_EQ(m_lines.back(), "");
}

TEST_F(LyricSave, FolderNamedLikeTheBackupCountsAsOne) {
    fs::create_directory(m_backup);
    saveInOwnForm(m_file, m_lines);
    EXPECT_TRUE(fs::is_directory(m_backup) && fs::is_empty(m_backup));
    EXPECT_EQ(test::readFile(m_file), ownBytes(m_lines));
    // A lyric file deleted while editing is written again, without a backup.
    fs::remove(m_backup);
    fs::remove(m_file);
    saveInOwnForm(m_file, m_lines);
    EXPECT_EQ(test::readFile(m_file), ownBytes(m_lines));
    EXPECT_FALSE(fs::exists(m_backup));
}

TEST_F(LyricSave, RefusedSavesLeaveEverythingAsItWas) {
    fs::permissions(m_file, fs::perms::owner_read | fs::perms::group_read);
    EXPECT_THROW(saveInOwnForm(m_file, m_lines), LyricSaveError);
    expectUntouched({"song.txt"});  // refused before any backup
    EXPECT_THROW(saveInOwnForm(m_dir.file("gone/song.txt"), m_lines), LyricSaveError);
    expectUntouched({"song.txt"});
}

TEST_F(LyricSave, LyricFileReplacedByAFolderStaysAFolder) {
    fs::remove(m_file);
    fs::create_directory(m_file);
    test::writeFile(m_file + "/inside", "x");
    try {
        saveInOwnForm(m_file, m_lines);
        ADD_FAILURE() << "saved";
    } catch (const LyricSaveError& e) {
        EXPECT_EQ(std::string(e.what()), m_file + " に書き込めません");
    }
    EXPECT_EQ(test::readFile(m_file + "/inside"), "x");
    EXPECT_FALSE(fs::exists(m_backup));
}

// A size limit makes writes fail as on a full disk, for root as for anyone.
TEST_F(LyricSave, FullDiskLeavesTheFileAndNoTemporaryFile) {
    m_lines[0] += std::string(200, 'x');  // the backup fits, the new text does not
    m_edited = m_lines;
    rlimit old{};
    ::getrlimit(RLIMIT_FSIZE, &old);
    auto handler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small{m_original.size() + 10, old.rlim_max};
    ::setrlimit(RLIMIT_FSIZE, &small);
    EXPECT_THROW(saveInOwnForm(m_file, m_lines), LyricSaveError);
    ::setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, handler);
    expectUntouched({"song.txt", "song_org.txt"});
    EXPECT_EQ(test::readFile(m_backup), m_original);
}

// Without a backup the copy is refused first; with one, the new text is.
TEST_F(LyricSave, FolderThatRefusesNewFilesLeavesTheFile) {
    const auto rx = fs::perms::owner_read | fs::perms::owner_exec | fs::perms::group_read |
                    fs::perms::group_exec | fs::perms::others_read | fs::perms::others_exec;
    fs::permissions(m_file, fs::perms::all & ~(fs::perms::owner_exec | fs::perms::group_exec |
                                               fs::perms::others_exec));
    fs::permissions(m_dir.path(), rx);
    EXPECT_EQ(saveAsUnprivilegedUser(), 0);
    expectUntouched({"song.txt"});

    fs::permissions(m_dir.path(), rx | fs::perms::owner_write);
    test::writeFile(m_backup, "older");
    fs::permissions(m_dir.path(), rx);
    EXPECT_EQ(saveAsUnprivilegedUser(), 0);
    expectUntouched({"song.txt", "song_org.txt"});
}

}  // namespace
}  // namespace orba
