// Test lines are written in UTF-8 and turned into the Shift-JIS bytes that
// lyric files hold.
#pragma once

#include <cstdio>
#include <ostream>
#include <string>
#include <string_view>

#include "platform/sjis.h"

namespace orba::test {

inline std::string sj(const std::string& utf8) {
    return utf8ToSjis(utf8);
}

// Quoted text for test names: control bytes, and with `rawBytes` every byte
// above 0x7F, become \xNN; the rest (UTF-8 included) stays readable.
inline void printQuoted(std::string_view text, std::ostream* os, bool rawBytes = false) {
    *os << '"';
    for (char c : text) {
        unsigned char u = static_cast<unsigned char>(c);
        if (u < 0x20 || u == 0x7F || (rawBytes && u > 0x7F)) {
            char buf[8];
            std::snprintf(buf, sizeof buf, "\\x%02X", u);
            *os << buf;
        } else {
            *os << c;
        }
    }
    *os << '"';
}

}  // namespace orba::test
