// Reading and writing the settings file "ORBAKARAOKE.ini", and the per-song
// ".oka" file that overrides four display settings of one song.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "settings/settings.h"
#include "settings/singervalues.h"

namespace orba {

class ProfileFile;

inline constexpr const char* kSettingsFileName = "ORBAKARAOKE.ini";

// Where the settings file lives: $ORBAKARAOKE_INI when set; else beside the
// program; else, when the program's folder is not writable and holds no
// settings file, $XDG_CONFIG_HOME/orbakaraoke/ORBAKARAOKE.ini.
std::string settingsFilePath();

// The pure form of the path rule, for tests.
struct SettingsPathInputs {
    std::string iniOverride;    // $ORBAKARAOKE_INI
    std::string programFolder;  // with trailing separator
    bool programFolderWritable = true;
    bool programFolderHasFile = false;
    // A program installed in a system folder never keeps its settings there,
    // even when it may write there (run by root): the folder is every user's,
    // and removing the package would leave the file behind.
    bool programInstalled = false;
    std::string xdgConfigHome;  // $XDG_CONFIG_HOME
    std::string home;           // $HOME
};
std::string chooseSettingsFilePath(const SettingsPathInputs& in);

// Every key of the file; a missing key keeps the value of `defaults`.
Settings readSettings(const ProfileFile& file, Settings defaults = {});

// saveWindowState's keys (kWindowStateFields) from the record, committed as
// one replace of the file. Throws ProfileWriteError and leaves the file as
// it was.
void writeWindowState(ProfileFile& file, const Settings& settings);

// Per-song file: the music file's path with the extension ".oka".
std::string perSongFilePath(std::string_view bgmFile);
// A per-song file holds a handful of keys. One larger than this is no
// per-song file: it is neither read (its size is looked at once it is open,
// before a byte is read) nor rewritten.
inline constexpr std::size_t kMaxPerSongFileBytes = 64 * 1024;
// Replaces TextBack, iNoiseT, iNoiseC and iBackT with the per-song values
// when the file exists; missing keys keep the current values. Returns "", or
// for a file that is there but was not read (too large, a folder, not
// readable) why, naming it: "song.oka: larger than 64 KiB, ignored".
std::string applyPerSongFile(std::string_view bgmFile, Settings& settings);
// Stores those four values in the per-song file, one replace of the file;
// throws ProfileWriteError, also for a file that cannot be read first.
void writePerSongFile(std::string_view bgmFile, const Settings& settings);
// The song's [Singer] section (Key, Tempo, VocalCut, MelodyMute,
// LyricOffset), each value in its range; neutral for a song without a file,
// a file that is not read (see applyPerSongFile) or a file written before
// the section existed.
SingerControls readPerSongSinger(std::string_view bgmFile);
// The four display settings and the [Singer] section in one replace of the
// file; the main settings file never holds the [Singer] keys.
void writePerSongFile(std::string_view bgmFile, const Settings& settings,
                      const SingerControls& singer);

// "orba.bmp" in the folder part of the image folder: for ".../okaraimg/" it
// lies inside that folder, for ".../pictures" (no trailing separator) beside it.
std::string mascotPicturePath(std::string_view imageFolder);

}  // namespace orba
