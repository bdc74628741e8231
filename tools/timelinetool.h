// `orbakaraoke --timeline FILE --at MS[,MS...] [--song-length MS]`: the lyric
// clock of the frame loop run alone over a lyric file, as JSON: which line is
// current at each moment, its entry, exit and progress, and what the wipe
// shows. For lyric authors checking their timing without playing the song.
#pragma once

#include <string>
#include <vector>

namespace orba {

// `args` starts with "--timeline". Returns the exit code: 0, or 2 after an
// error message on stderr.
int runTimeline(const std::vector<std::string>& args);

}  // namespace orba
