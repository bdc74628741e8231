// Shortcuts to the player on a Linux desktop: one "O-Kara.desktop" entry
// whose command is the program's absolute path followed by the file it is
// given, so that a music file sent to it arrives as the first argument.
//
//   tag 1  the desktop folder (XDG_DESKTOP_DIR); never created
//   tag 2  the applications menu, $XDG_DATA_HOME/applications
//   tag 3  "send to": Thunar's sendto folder, and a script in Nautilus'
//          scripts folder (Nautilus has no sendto folder of its own)
//
// Folders under the data home are created as the XDG rules ask of a program
// that writes there; a desktop folder that does not exist means there is no
// desktop to put a shortcut on.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace orba {

inline constexpr const char* kShortcutName = "O-Kara";

struct ShortcutEnvironment {
    std::string home;           // $HOME
    std::string xdgConfigHome;  // $XDG_CONFIG_HOME
    std::string xdgDataHome;    // $XDG_DATA_HOME
};
ShortcutEnvironment shortcutEnvironmentFromProcess();

// $XDG_DATA_HOME when it is an absolute path, else $HOME/.local/share; empty
// without either.
std::string dataHome(const ShortcutEnvironment& env);

// The value of one entry of a user-dirs.dirs file ("$HOME/Desktop" style,
// with $HOME expanded); empty when the entry is missing or malformed.
std::string userDirsEntry(std::string_view userDirsText, std::string_view key,
                          std::string_view home);

// The desktop folder: XDG_DESKTOP_DIR from user-dirs.dirs, else $HOME/Desktop.
// Empty when it is the home folder itself (the user switched it off).
std::string desktopFolderFor(const ShortcutEnvironment& env, std::string_view userDirsText);

// One file a shortcut button writes.
struct ShortcutFile {
    std::string path;
    std::string contents;
    bool executable = false;
};

// The files of the button with that tag. Empty when the tag is unknown or
// the place cannot be found; `desktopFolder` is the existing desktop folder
// or empty.
std::vector<ShortcutFile> shortcutFilesFor(int tag, const ShortcutEnvironment& env,
                                           const std::string& desktopFolder,
                                           const std::string& programPath,
                                           const std::string& iconPath = {});

// An argument of a desktop entry's Exec key: quoted, escaped, and with the
// string escapes of the entry format applied on top.
std::string desktopExecArgument(std::string_view arg);
// A word for a POSIX shell, in single quotes.
std::string shellQuote(std::string_view arg);

// `iconPath` empty: an entry without an icon of its own.
std::string desktopEntryText(std::string_view programPath, std::string_view iconPath = {});
std::string nautilusScriptText(std::string_view programPath);

// Finds the place of the button's tag and writes its files, replacing any
// earlier ones. A program that runs from an install gets the installed icon. False when there is no
// such place (nothing is written); a file that cannot be written is skipped silently.
bool createShortcut(int tag, const ShortcutEnvironment& env, const std::string& programPath);

}  // namespace orba
