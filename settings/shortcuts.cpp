#include "settings/shortcuts.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/files.h"

namespace orba {

namespace fs = std::filesystem;

namespace {

bool absolute(std::string_view path) {
    return !path.empty() && path.front() == '/';
}

std::string readWholeFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return {};
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

std::string configHome(const ShortcutEnvironment& env) {
    if (absolute(env.xdgConfigHome)) return env.xdgConfigHome;
    return env.home.empty() ? std::string() : env.home + "/.config";
}

// The file types the player opens, so that file managers offer it for them.
constexpr const char* kMusicMimeTypes =
    "audio/midi;audio/x-midi;audio/wav;audio/x-wav;audio/mpeg;audio/x-mp2;audio/x-ms-wma;"
    "audio/ogg;audio/x-vorbis+ogg;";

bool writeShortcutFile(const ShortcutFile& file) {
    std::error_code ec;
    fs::create_directories(folderPart(file.path), ec);
    {
        std::ofstream out(file.path, std::ios::binary | std::ios::trunc);
        if (!out) return false;
        out << file.contents;
        if (!out.flush()) return false;
    }
    const fs::perms mode = file.executable ? fs::perms(0755) : fs::perms(0644);
    fs::permissions(file.path, mode, fs::perm_options::replace, ec);
    return !ec;
}

}  // namespace

ShortcutEnvironment shortcutEnvironmentFromProcess() {
    return {environmentValue("HOME"), environmentValue("XDG_CONFIG_HOME"),
            environmentValue("XDG_DATA_HOME")};
}

std::string dataHome(const ShortcutEnvironment& env) {
    if (absolute(env.xdgDataHome)) return env.xdgDataHome;
    return env.home.empty() ? std::string() : env.home + "/.local/share";
}

std::string userDirsEntry(std::string_view text, std::string_view key, std::string_view home) {
    std::istringstream lines{std::string(text)};
    std::string line;
    while (std::getline(lines, line)) {
        std::string_view l = line;
        while (!l.empty() && (l.front() == ' ' || l.front() == '\t')) l.remove_prefix(1);
        if (l.substr(0, key.size()) != key) continue;
        l.remove_prefix(key.size());
        if (l.substr(0, 2) != "=\"") continue;
        l.remove_prefix(2);
        std::string value;
        bool closed = false;
        for (std::size_t i = 0; i < l.size(); ++i) {
            if (l[i] == '\\' && i + 1 < l.size()) {
                value += l[++i];
            } else if (l[i] == '"') {
                closed = true;
                break;
            } else {
                value += l[i];
            }
        }
        if (!closed) return {};
        if (value.rfind("$HOME", 0) == 0) {
            if (home.empty()) return {};
            value = std::string(home) + value.substr(5);
        }
        return absolute(value) ? value : std::string();
    }
    return {};
}

std::string desktopFolderFor(const ShortcutEnvironment& env, std::string_view userDirsText) {
    std::string folder = userDirsEntry(userDirsText, "XDG_DESKTOP_DIR", env.home);
    if (folder.empty() && !env.home.empty()) folder = env.home + "/Desktop";
    folder = withoutTrailingSeparator(folder);
    if (folder.empty() || folder == withoutTrailingSeparator(env.home)) return {};
    return folder;
}

std::string desktopExecArgument(std::string_view arg) {
    // Quoting rule of the Exec key, then the general string escapes, which a
    // reader undoes first: a literal backslash ends up as four.
    std::string quoted = "\"";
    for (char c : arg) {
        if (c == '"' || c == '`' || c == '$' || c == '\\') quoted += '\\';
        if (c == '%') quoted += '%';
        quoted += c;
    }
    quoted += '"';
    std::string out;
    for (char c : quoted) {
        switch (c) {
            case '\\':
                out += "\\\\";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\t':
                out += "\\t";
                break;
            case '\r':
                out += "\\r";
                break;
            default:
                out += c;
        }
    }
    return out;
}

std::string shellQuote(std::string_view arg) {
    std::string out = "'";
    for (char c : arg) {
        if (c == '\'')
            out += "'\\''";
        else
            out += c;
    }
    out += '\'';
    return out;
}

std::string desktopEntryText(std::string_view programPath) {
    std::string t;
    t += "[Desktop Entry]\n";
    t += "Type=Application\n";
    t += "Name=";
    t += kShortcutName;
    t += "\n";
    t += "Exec=" + desktopExecArgument(programPath) + " %f\n";
    t += "Terminal=false\n";
    t += "MimeType=";
    t += kMusicMimeTypes;
    t += "\n";
    t += "Categories=AudioVideo;Audio;Player;\n";
    return t;
}

std::string nautilusScriptText(std::string_view programPath) {
    return "#!/bin/sh\nexec " + shellQuote(programPath) + " \"$@\"\n";
}

std::vector<ShortcutFile> shortcutFilesFor(int tag, const ShortcutEnvironment& env,
                                           const std::string& desktopFolder,
                                           const std::string& programPath) {
    const std::string entryName = std::string(kShortcutName) + ".desktop";
    const std::string entry = desktopEntryText(programPath);
    const std::string data = dataHome(env);
    switch (tag) {
        case 1:
            if (desktopFolder.empty()) return {};
            // Desktops launch only entries marked executable.
            return {{desktopFolder + "/" + entryName, entry, true}};
        case 2:
            if (data.empty()) return {};
            return {{data + "/applications/" + entryName, entry, false}};
        case 3:
            if (data.empty()) return {};
            return {{data + "/Thunar/sendto/" + entryName, entry, false},
                    {data + "/nautilus/scripts/" + kShortcutName, nautilusScriptText(programPath),
                     true}};
        default:
            return {};
    }
}

bool createShortcut(int tag, const ShortcutEnvironment& env, const std::string& programPath) {
    std::string desktop;
    if (tag == 1) {
        const std::string config = configHome(env);
        const std::string userDirs =
            config.empty() ? "" : readWholeFile(config + "/user-dirs.dirs");
        desktop = desktopFolderFor(env, userDirs);
        if (!isFolder(desktop)) desktop.clear();
    }
    const std::vector<ShortcutFile> files = shortcutFilesFor(tag, env, desktop, programPath);
    if (files.empty()) return false;
    for (const ShortcutFile& f : files) writeShortcutFile(f);
    return true;
}

}  // namespace orba
