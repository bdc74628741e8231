// `orbakaraoke --export-video SONG OUT [--size WxH] [--fps N] [--from MS]
// [--to MS] [--overwrite] [--quiet]`: a song with its lyrics, scenes and
// pictures to a video file (.mp4, .webm or .mkv), with progress on stderr.
// An existing OUT is replaced only with --overwrite, and never when it is the
// song or its lyric file. Ctrl+C cancels; a cancelled or failed export leaves
// no file.
#pragma once

#include <string>
#include <vector>

namespace orba {

int runExportVideo(const std::vector<std::string>& args);

}  // namespace orba
