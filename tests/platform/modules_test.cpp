#include "platform/modules.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "tests/support/withoutmodules.h"

namespace orba {
namespace {

TEST(Modules, AreLookedForBesideTheProgramThenInTheInstalledLibFolderThenTheBuildTree) {
    const std::vector<std::string> folders = moduleFolders();
    ASSERT_EQ(folders.size(), 3u);
    const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe");
    EXPECT_EQ(folders[0], program.parent_path().string());
    EXPECT_EQ(folders[1], (program.parent_path().parent_path() / "lib" / "orbakaraoke").string());
    EXPECT_TRUE(std::filesystem::path(folders[2]).is_absolute()) << folders[2];
}

TEST(Modules, AMissingModuleSaysWhereItWasLookedFor) {
    test::WithoutModules none;
    std::string why;
    EXPECT_EQ(moduleSymbol("orba_cdg_ffmpeg.so", "orba_new_cdg_decoder_v1", why), nullptr);
    EXPECT_NE(why.find("orba_cdg_ffmpeg.so is not installed"), std::string::npos) << why;
    EXPECT_NE(why.find(none.folder()), std::string::npos) << why;
}

TEST(Modules, AFileThatIsNoModuleGivesTheLoadersReasonAndStopsTheSearch) {
    test::TempDir broken;
    test::TempDir later;
    std::ofstream(broken.path() + "/orba_pitch_aubio.so") << "not a shared object";
    setModuleFolders({broken.path(), later.path()});
    std::string why;
    EXPECT_EQ(moduleSymbol("orba_pitch_aubio.so", "orba_new_pitch_detector_v1", why), nullptr);
    EXPECT_NE(why.find(broken.path()), std::string::npos) << why;
    EXPECT_EQ(why.find("not installed"), std::string::npos) << why;
    setModuleFolders({});
}

}  // namespace
}  // namespace orba
