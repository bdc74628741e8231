// Folder play: the music files beside the current song, the step to the
// previous or next of them, the play list the L key shows, and what the end
// of a song leads to.
//
// `folderSongs` is a cache of full paths, sorted by name. It is rebuilt only
// when the current song (`bgmFile`) is not one of its entries, so files added
// to or removed from the folder are noticed once a song of another folder has
// been current.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/musictypes.h"

namespace orba {

struct PlayerState;
struct Settings;

// Position of `path` in `songs`: the exact entry when there is one, else the
// first that differs only in letter case; -1 when absent. Two files whose
// names differ only in case can both exist here, and the exact match keeps
// each of them reachable.
int songIndex(const std::vector<std::string>& songs, std::string_view path);

// The music files of the folder of `path` (folder + name), sorted without
// regard to letter case in the user's locale. Empty when the folder cannot be
// listed.
std::vector<std::string> listFolderSongs(std::string_view path);

// The song `offset` steps (-1, 0, +1) from `path`, wrapping around at both
// ends; a path missing from the list steps to the first song (+1) or the last
// (-1, 0). Refreshes `folderSongs` first unless `bgmFile` is in it. "" when
// the folder holds no music files or cannot be listed.
std::string folderSong(std::string_view path, int offset, std::string_view bgmFile,
                       std::vector<std::string>& folderSongs);

// The play list: "[i/n]|" and at most 21 names ending with the current song,
// the current one marked "> ", the others indented by four spaces. UTF-8,
// like every status text.
std::string playListText(const std::vector<std::string>& folderSongs, std::string_view bgmFile);

enum class SongEndAction {
    RestartLyrics,  // no music: the lyrics start again on the next frame
    NextSong,       // folder play: stop, open the next song of the folder
    Replay,         // stop, seek to 0, play the same song again
};

// Sets `songTime` and `currentLine` to 0 and says what the player does next.
SongEndAction endOfSong(const Settings& settings, PlayerState& state);

// The status text naming a song after folder play moved to it: its file name
// without the last four characters (the dot and the extension).
std::string nextSongMessage(std::string_view bgmFile);

}  // namespace orba
