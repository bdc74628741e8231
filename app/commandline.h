// What the command line asks for: the player with an optional music file, or
// one of the headless commands that print a result and exit.
#pragma once

#include <string>
#include <vector>

namespace orba {

struct CommandLine {
    bool help = false;
    bool version = false;
    bool timeEdit = false;          // --time-edit: the song opens in the time-tag edit mode
    bool party = false;             // --party: the guests' page is served from the start
    std::string musicFile;          // first argument that does not start with "--"
    std::vector<std::string> args;  // everything after the program name
};

CommandLine parseCommandLine(int argc, char** argv);

}  // namespace orba
