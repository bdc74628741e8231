// `orbakaraoke --render FILE --at MS --out PNG [--song-length MS] [--size WxH]
// [--debug]`: a moment of a song as a picture. The same frames the player
// draws, simulated every 15 ms from the load, with the settings from the
// settings file; the frame at MS is written as a PNG. The same command writes
// the same bytes on every run.
#pragma once

#include <string>
#include <vector>

namespace orba {

int runRender(const std::vector<std::string>& args);

}  // namespace orba
