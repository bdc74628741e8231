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

// "WxH" with both sides from 1 to 16384.
struct ClientSize {
    int width = 800;
    int height = 600;
};
std::optional<ClientSize> parseClientSize(const std::string& text);

// A milliseconds option: nothing when absent, an error text in `error` when bad.
std::optional<int> millisecondOption(const ToolArgs& args, const std::string& option,
                                     std::string& error);

// Prints "orbakaraoke: TEXT" on stderr and returns the error exit code 2.
int toolError(const std::string& text);

}  // namespace orba
