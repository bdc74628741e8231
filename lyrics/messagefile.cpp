#include "lyrics/messagefile.h"

#include <algorithm>

#include "platform/files.h"

namespace orba {

namespace {

bool isLineEnd(char c) {
    return c == '\r' || c == '\n';
}

}  // namespace

std::vector<std::string> splitLines(std::string_view bytes) {
    std::vector<std::string> lines;
    // Every line end is one line at most: room for all of them at once spares
    // moving every line again as the list grows.
    lines.reserve(static_cast<std::size_t>(std::count_if(bytes.begin(), bytes.end(), isLineEnd)) +
                  1);
    // The next CR and the next LF are each looked for with memchr only once
    // the split has passed the previous one, so no byte is searched twice.
    std::size_t cr = bytes.find('\r'), lf = bytes.find('\n');
    std::size_t start = 0;
    while (cr != lf) {  // both npos at the end
        const std::size_t end = std::min(cr, lf);
        lines.emplace_back(bytes.substr(start, end - start));
        start = end == cr && lf == cr + 1 ? lf + 1 : end + 1;
        if (cr < start) cr = bytes.find('\r', start);
        if (lf < start) lf = bytes.find('\n', start);
    }
    if (start < bytes.size()) lines.emplace_back(bytes.substr(start));
    return lines;
}

std::string_view mostUsedLineEnd(std::string_view bytes) {
    std::size_t crlf = 0, lf = 0, cr = 0;
    for (std::size_t i = bytes.find_first_of("\r\n"); i != std::string_view::npos;
         i = bytes.find_first_of("\r\n", i + 1)) {
        if (bytes[i] == '\n') {
            ++lf;
        } else if (i + 1 < bytes.size() && bytes[i + 1] == '\n') {
            ++crlf;
            ++i;
        } else {
            ++cr;
        }
    }
    if (lf > crlf && lf >= cr) return "\n";
    if (cr > crlf && cr > lf) return "\r";
    return "\r\n";
}

std::optional<std::string> readWholeFile(const std::string& path, std::string* why) {
    return readBoundedFile(path, kMaxMessageFileBytes, why);
}

std::optional<std::vector<std::string>> readMessageFile(const std::string& path) {
    std::optional<std::string> bytes = readWholeFile(path);
    if (!bytes) return std::nullopt;
    return splitLines(*bytes);
}

}  // namespace orba
