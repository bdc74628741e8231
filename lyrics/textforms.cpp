#include "lyrics/textforms.h"

#include "lyrics/sjistext.h"
#include "lyrics/tags.h"

namespace orba {

std::string plainTextForm(std::string line) {
    takeColourTag(line);
    return stripTags(line);
}

std::string safeTextForm(std::string line) {
    takeColourTag(line);
    std::size_t close = sjisFind(line, ']');
    // Keep n bytes: up to the first "]" and two more (two bytes past the
    // start of the line when there is no "]").
    std::size_t n = (close == std::string::npos ? 0 : close + 1) + 2;
    if (n >= line.size() || line.size() == 1) return line;
    // Find the character that holds byte n - 1 by walking from the start: a
    // byte-value test alone would take a second byte such as that of や
    // (0x82 0xE2) for a first byte and cut the character before it in half.
    std::size_t at = 0;
    while (at + sjisCharLength(line, at) < n) at += sjisCharLength(line, at);
    if (at == n - 1 && sjisCharLength(line, at) == 2) n = n - 1;
    return line.substr(0, n) + "..";
}

}  // namespace orba
