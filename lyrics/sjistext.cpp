#include "lyrics/sjistext.h"

namespace orba {

std::size_t sjisFindEither(std::string_view s, char a, char b, std::size_t from, TextEncoding e) {
    for (std::size_t i = from; i < s.size(); i += textCharLength(s, i, e)) {
        if (s[i] == a || s[i] == b) return i;
    }
    return std::string_view::npos;
}

std::size_t sjisFind(std::string_view s, char c, std::size_t from, TextEncoding e) {
    return sjisFindEither(s, c, c, from, e);
}

}  // namespace orba
