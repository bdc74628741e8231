// Where an installed player finds its own files. An install keeps the
// program in PREFIX/bin and its data in PREFIX/share/orbakaraoke; the program
// tells that it is installed from the folder it runs from, so that a copy
// moved with its whole prefix (a package root, a DESTDIR) still finds them.
#pragma once

#include <string>
#include <string_view>

namespace orba {

// The layout below the prefix, as the build was configured to install.
struct InstallLayout {
    std::string binDir = "bin";     // program folder, relative to the prefix
    std::string dataDir = "share";  // data root, relative to the prefix
};
InstallLayout configuredInstallLayout();

// PREFIX/share/orbakaraoke/ (with its trailing separator) when
// `programFolder` is PREFIX/bin/; "" for any other folder, such as the build
// folder.
std::string installedDataFolder(std::string_view programFolder, const InstallLayout& layout);

// The demo song an installed player plays when it is started with nothing
// else to play; "" when the program does not run from an install.
std::string installedDemoSong(std::string_view programFolder,
                              const InstallLayout& layout = configuredInstallLayout());

// The installed scalable icon; "" when the program does not run from an install.
std::string installedIcon(std::string_view programFolder,
                          const InstallLayout& layout = configuredInstallLayout());

}  // namespace orba
