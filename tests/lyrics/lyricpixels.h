// Helpers of the tests that compare lyric text drawn two ways.
#pragma once

#include <string>

#include "platform/bitmap.h"

namespace orba::test {

// `piece` again and again, until there are at least `bytes` bytes.
inline std::string repeated(const std::string& piece, std::size_t bytes) {
    std::string s;
    while (s.size() < bytes) s += piece;
    return s;
}

inline int differingPixels(const Bitmap& a, const Bitmap& b) {
    int n = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) n += a.canvas().pixel(x, y) != b.canvas().pixel(x, y);
    return n;
}

inline int inkedPixels(const Bitmap& b) {
    int n = 0;
    for (int y = 0; y < b.height(); ++y)
        for (int x = 0; x < b.width(); ++x) n += b.canvas().pixel(x, y) != 0;
    return n;
}

}  // namespace orba::test
