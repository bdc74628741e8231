// The arguments of the headless commands, parsed in one place: one input
// file and options, each either a flag or an option with a value.
#pragma once

#include <initializer_list>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace orba {

struct OptionSpec {
    const char* name;  // "--at"
    bool takesValue;
};

struct ToolArgs {
    std::string file;
    std::string secondFile;  // for the commands that take two
    std::map<std::string, std::string> values;
    std::set<std::string> flags;

    bool has(const std::string& option) const {
        return values.count(option) || flags.count(option);
    }
};

// `args` starts with the command itself. Returns an error text, "" when the
// arguments are usable: one file (two with `twoFiles`), known options, each
// value given once.
std::string parseToolArgs(const std::vector<std::string>& args,
                          std::initializer_list<OptionSpec> known, ToolArgs& out,
                          bool twoFiles = false);

// "MS[,MS...]": whole non-negative milliseconds.
std::optional<std::vector<int>> parseMillisecondList(const std::string& text);

// The largest side of a drawn frame: a 4096 x 4096 frame and the pictures
// drawn into it stay within a few hundred MB.
inline constexpr int kLargestSide = 4096;
// The latest moment the tools simulate: every 15 ms frame up to it is run,
// so an hour is the bound (longer than any song worth singing).
inline constexpr int kLatestSimulatedMs = 3600000;

// "WxH" with both sides from 1 to kLargestSide.
struct ClientSize {
    int width = 800;
    int height = 600;
};
std::optional<ClientSize> parseClientSize(const std::string& text);

// A milliseconds option: nothing when absent, an error text in `error` when bad.
std::optional<int> millisecondOption(const ToolArgs& args, const std::string& option,
                                     std::string& error);

// An error text for a moment later than the tools simulate, "" when it is not.
std::string simulatedMomentError(const std::string& option, int ms);

// Prints "orbakaraoke: TEXT" on stderr and returns the error exit code 2.
int toolError(const std::string& text);

}  // namespace orba
