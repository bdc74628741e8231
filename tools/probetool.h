// `orbakaraoke --probe FILE [--play MS]`: opens FILE on the media device as a
// song load does and prints what the player would make of it as one JSON
// object. Exit 0 when the file opened, 2 when it did not.
#pragma once

#include <string>
#include <vector>

namespace orba {

int runProbe(const std::vector<std::string>& args);

}  // namespace orba
