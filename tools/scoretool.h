// --score SONG --voice WAV [--delay MS]: sings a recording into the player's
// scoring over the simulated transport and prints the result as JSON.
#pragma once

#include <string>
#include <vector>

namespace orba {

int runScore(const std::vector<std::string>& args);

}  // namespace orba
