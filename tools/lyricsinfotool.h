// `orbakaraoke --lyrics-info FILE [--song-length MS] [--edit-mode] [--at MS]`:
// shows a lyric author how the player reads a message file, as one JSON
// object on stdout. Needs no display and no sound device.
#pragma once

#include <string>
#include <vector>

namespace orba {

// `args` starts with "--lyrics-info". Returns the exit code: 0, or 2 after an
// error message on stderr.
int runLyricsInfo(const std::vector<std::string>& args);

}  // namespace orba
