#include "settings/shortcuts.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>

#include "tests/support/tempdir.h"

namespace orba {
namespace {

namespace fs = std::filesystem;
using test::readFile;
using test::TempDir;
using test::writeFile;

std::string folderOf(const std::string& path) {
    return fs::path(path).parent_path().string();
}

TEST(Shortcuts, ExecArgumentsAreQuotedAndEscapedTwice) {
    const std::pair<const char*, const char*> cases[] = {
        {"/usr/bin/orbakaraoke", R"("/usr/bin/orbakaraoke")"},
        {"/opt/My Player/orbakaraoke", R"("/opt/My Player/orbakaraoke")"},
        {"/opt/カラオケ/orbakaraoke", R"("/opt/カラオケ/orbakaraoke")"},
        {"/opt/a\"b/x", R"("/opt/a\\"b/x")"},
        {"/opt/$HOME/x", R"("/opt/\\$HOME/x")"},
        {"/opt/a`b/x", R"("/opt/a\\`b/x")"},
        {"/opt/a\\b/x", R"("/opt/a\\\\b/x")"},
        {"/opt/100%/x", R"("/opt/100%%/x")"},
        {"/opt/it's/x", R"("/opt/it's/x")"},
        {"/opt/a\nb/x", R"("/opt/a\nb/x")"},
    };
    for (auto [path, expected] : cases) {
        SCOPED_TRACE(path);
        EXPECT_EQ(desktopExecArgument(path), expected);
    }
}

TEST(Shortcuts, TheEntryStartsTheProgramWithTheFileItIsGiven) {
    const std::string entry = desktopEntryText("/opt/My Player/orbakaraoke");
    EXPECT_EQ(entry.rfind("[Desktop Entry]\n", 0), 0u);
    EXPECT_NE(entry.find("\nType=Application\n"), std::string::npos);
    EXPECT_NE(entry.find("\nName=O-Kara\n"), std::string::npos);
    EXPECT_NE(entry.find("\nExec=\"/opt/My Player/orbakaraoke\" %f\n"), std::string::npos);
    EXPECT_NE(entry.find("audio/mpeg;"), std::string::npos);
}

TEST(Shortcuts, UserDirsEntriesExpandHomeAndRejectRelativePaths) {
    const std::string text =
        "# comment\n"
        "XDG_DOWNLOAD_DIR=\"$HOME/Downloads\"\n"
        "XDG_DESKTOP_DIR=\"$HOME/デスクトップ\"\n"
        "XDG_MUSIC_DIR=\"/srv/music \\\"live\\\"\"\n"
        "XDG_VIDEOS_DIR=\"Videos\"\n"
        "XDG_PICTURES_DIR=\"$HOME/Pictures\n";
    EXPECT_EQ(userDirsEntry(text, "XDG_DESKTOP_DIR", "/home/u"), "/home/u/デスクトップ");
    EXPECT_EQ(userDirsEntry(text, "XDG_MUSIC_DIR", "/home/u"), "/srv/music \"live\"");
    EXPECT_EQ(userDirsEntry(text, "XDG_VIDEOS_DIR", "/home/u"), "");
    EXPECT_EQ(userDirsEntry(text, "XDG_PICTURES_DIR", "/home/u"), "");
    EXPECT_EQ(userDirsEntry(text, "XDG_TEMPLATES_DIR", "/home/u"), "");
    EXPECT_EQ(userDirsEntry(text, "XDG_DESKTOP_DIR", ""), "");
}

TEST(Shortcuts, TheDesktopFolderComesFromUserDirsElseHomeDesktop) {
    const ShortcutEnvironment env{"/home/u", "", ""};
    EXPECT_EQ(desktopFolderFor(env, ""), "/home/u/Desktop");
    EXPECT_EQ(desktopFolderFor(env, "XDG_DESKTOP_DIR=\"/data/desk/\"\n"), "/data/desk");
    // Pointing the desktop at the home folder switches it off.
    EXPECT_EQ(desktopFolderFor(env, "XDG_DESKTOP_DIR=\"$HOME/\"\n"), "");
    EXPECT_EQ(desktopFolderFor({"", "", ""}, ""), "");
}

TEST(Shortcuts, TheDataHomeIgnoresARelativeSetting) {
    EXPECT_EQ(dataHome({"/home/u", "", ""}), "/home/u/.local/share");
    EXPECT_EQ(dataHome({"/home/u", "", "/xdg/data"}), "/xdg/data");
    EXPECT_EQ(dataHome({"/home/u", "", "relative/data"}), "/home/u/.local/share");
    EXPECT_EQ(dataHome({"", "", ""}), "");
}

bool executable(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && (st.st_mode & S_IXUSR);
}

TEST(Shortcuts, AHomeWithoutADesktopGetsNoDesktopShortcut) {
    TempDir home;
    const ShortcutEnvironment env{home.path(), "", ""};
    EXPECT_FALSE(createShortcut(1, env, "/opt/orbakaraoke"));
    EXPECT_FALSE(fs::exists(home.file("Desktop")));
    EXPECT_FALSE(createShortcut(4, env, "/opt/orbakaraoke"));
    EXPECT_FALSE(createShortcut(0, env, "/opt/orbakaraoke"));
    EXPECT_TRUE(fs::is_empty(home.path()));
}

TEST(Shortcuts, TheDesktopShortcutIsOneExecutableEntryReplacedOnEachClick) {
    TempDir home;
    fs::create_directories(home.file(".config"));
    fs::create_directories(home.file("デスクトップ"));
    writeFile(home.file(".config/user-dirs.dirs"), "XDG_DESKTOP_DIR=\"$HOME/デスクトップ\"\n");
    const ShortcutEnvironment env{home.path(), "", ""};
    EXPECT_TRUE(createShortcut(1, env, "/old/orbakaraoke"));
    EXPECT_TRUE(createShortcut(1, env, "/new/orbakaraoke"));
    const std::string entry = home.file("デスクトップ/O-Kara.desktop");
    EXPECT_EQ(readFile(entry), desktopEntryText("/new/orbakaraoke"));
    EXPECT_TRUE(executable(entry));
    int files = 0;
    for ([[maybe_unused]] auto& e : fs::directory_iterator(home.file("デスクトップ"))) ++files;
    EXPECT_EQ(files, 1);
}

TEST(Shortcuts, MenuAndSendToPlacesAreMadeInTheDataHome) {
    TempDir home;
    const ShortcutEnvironment env{home.path(), "", home.file("data")};
    EXPECT_TRUE(createShortcut(2, env, "/opt/orbakaraoke"));
    EXPECT_EQ(readFile(home.file("data/applications/O-Kara.desktop")),
              desktopEntryText("/opt/orbakaraoke"));
    EXPECT_TRUE(createShortcut(3, env, "/opt/orbakaraoke"));
    EXPECT_EQ(readFile(home.file("data/Thunar/sendto/O-Kara.desktop")),
              desktopEntryText("/opt/orbakaraoke"));
    EXPECT_TRUE(executable(home.file("data/nautilus/scripts/O-Kara")));
}

TEST(Shortcuts, AnInstalledPlayerGivesItsLaunchersItsInstalledIcon) {
    TempDir home;
    const ShortcutEnvironment env{home.path(), "", home.file("data")};
    const std::string prefix = home.file("prefix");
    const std::string program = prefix + "/bin/orbakaraoke";
    const std::string icon = prefix + "/share/icons/hicolor/scalable/apps/orbakaraoke.svg";
    const std::string entry = home.file("data/applications/O-Kara.desktop");
    fs::create_directories(prefix + "/bin");

    // The same layout without the icon file: the launcher has no icon line.
    EXPECT_TRUE(createShortcut(2, env, program));
    EXPECT_EQ(readFile(entry).find("Icon="), std::string::npos);

    fs::create_directories(folderOf(icon));
    writeFile(icon, "<svg/>");
    EXPECT_TRUE(createShortcut(2, env, program));
    const std::string text = readFile(entry);
    EXPECT_NE(text.find("Exec=\"" + program + "\" %f\n"), std::string::npos) << text;
    EXPECT_NE(text.find("Icon=" + icon + "\n"), std::string::npos) << text;
    EXPECT_EQ(text, desktopEntryText(program, icon));
}

TEST(Shortcuts, AFileThatCannotBeWrittenIsSkippedSilently) {
    TempDir home;
    // A plain file where the menu folder should be: nothing can go in it.
    fs::create_directories(home.file("data"));
    writeFile(home.file("data/applications"), "");
    const ShortcutEnvironment env{home.path(), "", home.file("data")};
    EXPECT_TRUE(createShortcut(2, env, "/opt/orbakaraoke"));
    EXPECT_TRUE(fs::is_regular_file(home.file("data/applications")));
}

TEST(Shortcuts, TheNautilusScriptHandsTheSelectedFileToTheProgram) {
    TempDir dir;
    // A stand-in for the player that records its first argument.
    const std::string program = dir.file("it's a \"player\" $1");
    writeFile(program, "#!/bin/sh\nprintf '%s' \"$1\" > \"$(dirname \"$0\")/got\"\n");
    ::chmod(program.c_str(), 0755);
    const std::string script = dir.file("O-Kara");
    writeFile(script, nautilusScriptText(program));
    ::chmod(script.c_str(), 0755);

    const std::string song = "/music/曲 'one' $x.mp3";
    const std::string command = shellQuote(script) + " " + shellQuote(song);
    ASSERT_EQ(std::system(command.c_str()), 0);
    EXPECT_EQ(readFile(dir.file("got")), song);
}

}  // namespace
}  // namespace orba
