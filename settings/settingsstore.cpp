#include "settings/settingsstore.h"

#include <optional>
#include <variant>

#include "desktop/installlayout.h"
#include "platform/files.h"
#include "platform/profilefile.h"
#include "settings/settingstable.h"

namespace orba {

std::string chooseSettingsFilePath(const SettingsPathInputs& in) {
    if (!in.iniOverride.empty()) return in.iniOverride;
    if (!in.programInstalled && (in.programFolderWritable || in.programFolderHasFile))
        return in.programFolder + kSettingsFileName;
    std::string config = in.xdgConfigHome;
    if (config.empty()) config = in.home + "/.config";
    return config + "/orbakaraoke/" + kSettingsFileName;
}

std::string settingsFilePath() {
    // Resolved once: the folder probes need not run at every operation. Only
    // a changed override (a test's own settings file) resolves again.
    struct Resolved {
        std::string iniOverride;
        std::string path;
    };
    static std::optional<Resolved> resolved;
    std::string iniOverride = environmentValue("ORBAKARAOKE_INI");
    if (resolved && resolved->iniOverride == iniOverride) return resolved->path;
    SettingsPathInputs in;
    in.iniOverride = iniOverride;
    if (in.iniOverride.empty()) {
        in.programFolder = programFolder();
        in.programFolderWritable = folderWritable(in.programFolder);
        in.programFolderHasFile = isRegularFile(in.programFolder + kSettingsFileName);
        in.programInstalled =
            !installedDataFolder(in.programFolder, configuredInstallLayout()).empty();
        in.xdgConfigHome = environmentValue("XDG_CONFIG_HOME");
        in.home = environmentValue("HOME");
    }
    resolved = Resolved{iniOverride, chooseSettingsFilePath(in)};
    return resolved->path;
}

Settings readSettings(const ProfileFile& file, Settings defaults) {
    readSettingKeys(file, defaults);
    return defaults;
}

void writeWindowState(ProfileFile& file, const Settings& settings) {
    writeSettingKeys(file, settings, kWindowStateFields);
    file.commit();
}

std::string perSongFilePath(std::string_view bgmFile) {
    return replaceExtension(bgmFile, ".oka");
}

namespace {

// The per-song file when it is a regular file within the limit; `note`, when
// given, says why one that is there was not read.
std::optional<ProfileFile> readPerSongFile(std::string_view bgmFile, std::string* note) {
    const std::string path = perSongFilePath(bgmFile);
    std::string why;
    std::optional<std::string> bytes = readBoundedFile(path, kMaxPerSongFileBytes, &why);
    if (!bytes) {
        if (note && fileOrFolderExists(path)) *note = fileNamePart(path) + ": " + why + ", ignored";
        return std::nullopt;
    }
    return ProfileFile(path, *bytes);
}

ProfileFile perSongFileToWrite(std::string_view bgmFile) {
    const std::string path = perSongFilePath(bgmFile);
    if (!fileOrFolderExists(path)) return ProfileFile(path, "");
    // A save rewrites the whole file: one that could not be read would lose
    // what it holds.
    std::optional<ProfileFile> file = readPerSongFile(bgmFile, nullptr);
    if (!file) throw ProfileWriteError(path);
    return std::move(*file);
}

}  // namespace

std::string applyPerSongFile(std::string_view bgmFile, Settings& s) {
    std::string note;
    if (std::optional<ProfileFile> file = readPerSongFile(bgmFile, &note))
        readSettingKeys(*file, s, kPerSongFields);
    return note;
}

void writePerSongFile(std::string_view bgmFile, const Settings& s) {
    ProfileFile file = perSongFileToWrite(bgmFile);
    writeSettingKeys(file, s, kPerSongFields);
    file.commit();
}

namespace {

constexpr const char* kSingerSection = "Singer";

// In the order a writer stores them.
struct SingerKey {
    const char* key;
    std::variant<int SingerControls::*, bool SingerControls::*> field;
};
constexpr SingerKey kSingerKeys[] = {
    {"Key", &SingerControls::key},
    {"Tempo", &SingerControls::tempo},
    {"VocalCut", &SingerControls::vocalCut},
    {"MelodyMute", &SingerControls::melodyMute},
    {"LyricOffset", &SingerControls::lyricOffset},
};

}  // namespace

SingerControls readPerSongSinger(std::string_view bgmFile) {
    SingerControls c;
    const std::optional<ProfileFile> read = readPerSongFile(bgmFile, nullptr);
    if (!read) return c;
    const ProfileFile& file = *read;
    for (const SingerKey& k : kSingerKeys) {
        if (auto f = std::get_if<int SingerControls::*>(&k.field))
            c.** f = file.readInteger(kSingerSection, k.key, c.**f);
        else if (auto b = std::get_if<bool SingerControls::*>(&k.field))
            c.** b = file.readBool(kSingerSection, k.key, c.**b);
    }
    return clampedSinger(c);
}

void writePerSongFile(std::string_view bgmFile, const Settings& s, const SingerControls& singer) {
    ProfileFile file = perSongFileToWrite(bgmFile);
    writeSettingKeys(file, s, kPerSongFields);
    for (const SingerKey& k : kSingerKeys) {
        if (auto f = std::get_if<int SingerControls::*>(&k.field))
            file.writeInteger(kSingerSection, k.key, singer.**f);
        else if (auto b = std::get_if<bool SingerControls::*>(&k.field))
            file.writeBool(kSingerSection, k.key, singer.**b);
    }
    file.commit();
}

std::string mascotPicturePath(std::string_view imageFolder) {
    return folderPart(imageFolder) + "orba.bmp";
}

}  // namespace orba
