#include "settings/companions.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "tests/support/tempdir.h"

namespace orba {
namespace {

using test::TempDir;
using test::writeFile;

MusicChoice choice(bool useMessage, std::string message, bool useImages, std::string images,
                   std::string bgm) {
    return {true, std::move(bgm), useMessage, std::move(message), useImages, std::move(images)};
}

TEST(Companions, CandidatesSitBesideTheMusicFile) {
    const CompanionPaths p = companionPathsFor("/a/曲 x.mp3");
    EXPECT_EQ(p.timedText, "/a/曲 x_t.txt");
    EXPECT_EQ(p.plainText, "/a/曲 x.txt");
    EXPECT_EQ(p.imageFolder, "/a/okaraimg/");
}

struct RuleCase {
    const char* name;
    MusicChoice before;
    CompanionsFound found;
    MusicChoice after;
};

TEST(Companions, TheRuleDropsWhatBelongedToTheOldFolderOnly) {
    const std::string x = "/a/x.mp3";
    const RuleCase cases[] = {
        {"companions of the old folder go; the timed text wins",
         choice(true, "/b/y.txt", true, "/b/okaraimg/", "/b/y.mp3"),
         {true, true, false},
         {true, x, true, "/a/x_t.txt", false, "/b/okaraimg/"}},
        {"a lyric file kept elsewhere stays",
         choice(true, "/lyrics/y.txt", true, "/b/okaraimg/", "/b/y.mp3"),
         {false, false, false},
         {true, x, true, "/lyrics/y.txt", false, "/b/okaraimg/"}},
        {"a picture folder deeper under the old folder counts as under it",
         choice(false, "/b/y.txt", true, "/b/pics/2024", "/b/y.mp3"),
         {false, true, false},
         {true, x, true, "/a/x.txt", false, "/b/pics/2024"}},
        {"a picture folder beside the old folder stays",
         choice(false, "", true, "/bc/okaraimg/", "/b/y.mp3"),
         {false, false, false},
         {true, x, false, "", true, "/bc/okaraimg/"}},
        {"folders differing in case are different folders",
         choice(true, "/B/y.txt", true, "/B/okaraimg/", "/b/y.mp3"),
         {false, false, false},
         {true, x, true, "/B/y.txt", true, "/B/okaraimg/"}},
        {"new companions replace ones kept elsewhere",
         choice(true, "/lyrics/y.txt", true, "/pics", "/b/y.mp3"),
         {false, true, true},
         {true, x, true, "/a/x.txt", true, "/a/okaraimg/"}},
        {"first choice: every picture folder lies under the empty old folder",
         choice(true, "/lyrics/y.txt", true, "/pics", ""),
         {false, false, false},
         {true, x, true, "/lyrics/y.txt", false, "/pics"}},
        {"first choice with no lyric file either",
         choice(true, "", true, "", ""),
         {false, false, false},
         {true, x, false, "", false, ""}},
        {"first choice with a picture folder beside the song",
         choice(true, "", false, "", ""),
         {false, false, true},
         {true, x, false, "", true, "/a/okaraimg/"}},
    };
    for (const RuleCase& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(chooseCompanions(c.before, x, c.found), c.after);
    }
}

TEST(Companions, OnlyAFolderNamedOkaraimgCountsAsThePictureFolder) {
    TempDir dir;
    writeFile(dir.file("x.txt"), "a");
    writeFile(dir.file("okaraimg"), "not a folder");
    CompanionsFound f = findCompanions(companionPathsFor(dir.file("x.mp3")));
    EXPECT_FALSE(f.timedText);
    EXPECT_TRUE(f.plainText);
    EXPECT_FALSE(f.imageFolder);

    std::filesystem::remove(dir.file("okaraimg"));
    std::filesystem::create_directory(dir.file("okaraimg"));
    std::filesystem::create_directory(dir.file("x_t.txt"));
    f = findCompanions(companionPathsFor(dir.file("x.mp3")));
    EXPECT_FALSE(f.timedText);
    EXPECT_TRUE(f.imageFolder);
}

}  // namespace
}  // namespace orba
