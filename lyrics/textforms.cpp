#include "lyrics/textforms.h"

#include "lyrics/sjistext.h"
#include "lyrics/tags.h"

namespace orba {

std::string plainTextForm(std::string line, TextEncoding e) {
    takeColourTag(line, e);
    return stripTags(line, e);
}

std::string safeTextForm(std::string line, TextEncoding e) {
    takeColourTag(line, e);
    std::size_t close = sjisFind(line, ']', 0, e);
    // Keep n bytes: up to the first "]" and two more (two bytes past the
    // start of the line when there is no "]").
    std::size_t n = (close == std::string::npos ? 0 : close + 1) + 2;
    if (n >= line.size() || line.size() == 1) return line;
    // Find the character that holds byte n - 1 by walking from the start: a
    // byte-value test alone would take a second byte such as that of や
    // (0x82 0xE2) for a first byte and cut the character before it in half.
    std::size_t at = 0;
    while (at + textCharLength(line, at, e) < n) at += textCharLength(line, at, e);
    // A UTF-8 character is kept whole: two bytes may not even hold one.
    if (isUnicode(e))
        n = at + textCharLength(line, at, e);
    else if (at == n - 1 && textCharLength(line, at, e) == 2)
        n = n - 1;
    if (n >= line.size()) return line;
    return line.substr(0, n) + "..";
}

}  // namespace orba
