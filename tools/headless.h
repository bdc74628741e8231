// The command line's headless commands: each prints one JSON object (or
// writes a file) and exits without opening a window.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace orba {

extern const char* const kUsage;

// Runs the command that `args` (everything after the program name) starts
// with and returns its exit code; nothing when `args` names no command.
std::optional<int> runHeadlessCommand(const std::vector<std::string>& args);

// An argument that looks like an option the player does not know.
std::optional<std::string> unknownOption(const std::vector<std::string>& args);

}  // namespace orba
