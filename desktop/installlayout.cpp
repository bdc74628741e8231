#include "desktop/installlayout.h"

namespace orba {

namespace {

std::string withoutSlashes(std::string s) {
    while (!s.empty() && s.back() == '/') s.pop_back();
    while (!s.empty() && s.front() == '/') s.erase(0, 1);
    return s;
}

// PREFIX/ of PREFIX/BINDIR/, or nothing.
bool prefixOf(std::string_view programFolder, const std::string& binDir, std::string& prefix) {
    const std::string bin = withoutSlashes(binDir);
    if (bin.empty() || binDir.front() == '/' || programFolder.empty() ||
        programFolder.front() != '/')
        return false;
    std::string folder(programFolder);
    if (folder.back() != '/') folder += '/';
    const std::string tail = "/" + bin + "/";
    if (folder.size() < tail.size() ||
        folder.compare(folder.size() - tail.size(), tail.size(), tail) != 0)
        return false;
    prefix = folder.substr(0, folder.size() - tail.size() + 1);
    return true;
}

}  // namespace

InstallLayout configuredInstallLayout() {
    return InstallLayout{ORBA_INSTALL_BINDIR, ORBA_INSTALL_DATADIR};
}

std::string installedDataFolder(std::string_view programFolder, const InstallLayout& layout) {
    std::string prefix;
    const std::string data = withoutSlashes(layout.dataDir);
    // An absolute data folder is not moved with the prefix, so it cannot be
    // told from the program's place.
    if (data.empty() || layout.dataDir.front() == '/') return {};
    if (!prefixOf(programFolder, layout.binDir, prefix)) return {};
    return prefix + data + "/orbakaraoke/";
}

std::string installedDemoSong(std::string_view programFolder, const InstallLayout& layout) {
    const std::string data = installedDataFolder(programFolder, layout);
    return data.empty() ? std::string() : data + "demo.mp3";
}

std::string installedIcon(std::string_view programFolder, const InstallLayout& layout) {
    const std::string data = installedDataFolder(programFolder, layout);
    if (data.empty()) return {};
    // share/orbakaraoke/ -> share/icons/...
    const std::string share = data.substr(0, data.size() - std::string("orbakaraoke/").size());
    return share + "icons/hicolor/scalable/apps/orbakaraoke.svg";
}

}  // namespace orba
