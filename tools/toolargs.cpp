#include "tools/toolargs.h"

#include <cstdio>

#include "platform/json.h"

namespace orba {

std::string parseToolArgs(const std::vector<std::string>& args,
                          std::initializer_list<OptionSpec> known, ToolArgs& out, bool twoFiles) {
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a.rfind("--", 0) != 0) {
            if (out.file.empty())
                out.file = a;
            else if (twoFiles && out.secondFile.empty())
                out.secondFile = a;
            else
                return (twoFiles ? "two files only, please: " : "only one file, please: ") + a;
            continue;
        }
        const OptionSpec* option = nullptr;
        for (const OptionSpec& k : known)
            if (a == k.name) option = &k;
        if (!option) return "unknown option " + a;
        if (out.has(a)) return a + " is given twice";
        if (!option->takesValue) {
            out.flags.insert(a);
            continue;
        }
        if (i + 1 >= args.size()) return a + " needs a value";
        out.values[a] = args[++i];
    }
    if (out.file.empty()) return "no file given";
    if (twoFiles && out.secondFile.empty()) return "the second file is missing";
    return {};
}

std::optional<std::vector<int>> parseMillisecondList(const std::string& text) {
    std::vector<int> list;
    std::size_t start = 0;
    while (true) {
        const std::size_t comma = text.find(',', start);
        const std::optional<int> ms = parseMilliseconds(text.substr(start, comma - start));
        if (!ms) return std::nullopt;
        list.push_back(*ms);
        if (comma == std::string::npos) break;
        start = comma + 1;
    }
    return list;
}

std::optional<ClientSize> parseClientSize(const std::string& text) {
    const std::size_t x = text.find('x');
    if (x == std::string::npos) return std::nullopt;
    const std::optional<int> w = parseMilliseconds(text.substr(0, x));
    const std::optional<int> h = parseMilliseconds(text.substr(x + 1));
    if (!w || !h || *w < 1 || *h < 1 || *w > kLargestSide || *h > kLargestSide) return std::nullopt;
    return ClientSize{*w, *h};
}

std::string simulatedMomentError(const std::string& option, int ms) {
    if (ms <= kLatestSimulatedMs) return {};
    return option + ": " + std::to_string(ms) + " ms is later than the " +
           std::to_string(kLatestSimulatedMs) + " ms (one hour) the player simulates";
}

std::optional<int> millisecondOption(const ToolArgs& args, const std::string& option,
                                     std::string& error) {
    auto it = args.values.find(option);
    if (it == args.values.end()) return std::nullopt;
    std::optional<int> ms = parseMilliseconds(it->second);
    if (!ms) error = option + ": '" + it->second + "' is not a number of milliseconds";
    return ms;
}

int toolError(const std::string& text) {
    std::fprintf(stderr, "orbakaraoke: %s\n", text.c_str());
    return 2;
}

}  // namespace orba
