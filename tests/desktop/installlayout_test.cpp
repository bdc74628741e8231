#include "desktop/installlayout.h"

#include <gtest/gtest.h>

namespace orba {
namespace {

const InstallLayout kUsual{"bin", "share"};

TEST(InstallLayout, AProgramInAPrefixBinFolderFindsTheDemoUnderItsShareFolder) {
    const std::pair<const char*, const char*> cases[] = {
        {"/usr/bin/", "/usr/share/orbakaraoke/demo.mp3"},
        {"/usr/local/bin/", "/usr/local/share/orbakaraoke/demo.mp3"},
        {"/tmp/destdir/usr/bin/", "/tmp/destdir/usr/share/orbakaraoke/demo.mp3"},
        {"/usr/bin", "/usr/share/orbakaraoke/demo.mp3"},
        {"/bin/", "/share/orbakaraoke/demo.mp3"},
    };
    for (auto [folder, demo] : cases) {
        SCOPED_TRACE(folder);
        EXPECT_EQ(installedDemoSong(folder, kUsual), demo);
    }
}

TEST(InstallLayout, AnyOtherFolderIsNoInstall) {
    for (const char* folder : {"/home/me/orbakaraoke/build/app/", "/home/robin/", "/usr/sbin/x/",
                               "/opt/cabin/", "bin/", "", "/"}) {
        SCOPED_TRACE(folder);
        EXPECT_EQ(installedDemoSong(folder, kUsual), "");
        EXPECT_EQ(installedIcon(folder, kUsual), "");
    }
}

TEST(InstallLayout, TheConfiguredFoldersDecide) {
    EXPECT_EQ(installedDataFolder("/opt/k/programs/", {"programs/", "data"}),
              "/opt/k/data/orbakaraoke/");
    EXPECT_EQ(installedDataFolder("/usr/lib/games/", {"lib/games", "share"}),
              "/usr/share/orbakaraoke/");
    EXPECT_EQ(installedDataFolder("/usr/bin/", {"games", "share"}), "");
    // Absolute folders do not move with the prefix: nothing can be told.
    EXPECT_EQ(installedDataFolder("/usr/bin/", {"bin", "/usr/share"}), "");
    EXPECT_EQ(installedDataFolder("/usr/bin/", {"/usr/bin", "share"}), "");
}

TEST(InstallLayout, TheIconIsTheScalableOneOfTheHicolorTheme) {
    EXPECT_EQ(installedIcon("/usr/bin/", kUsual),
              "/usr/share/icons/hicolor/scalable/apps/orbakaraoke.svg");
}

}  // namespace
}  // namespace orba
