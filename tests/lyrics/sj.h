// Test lines are written in UTF-8 and turned into the Shift-JIS bytes that
// lyric files hold.
#pragma once

#include <string>

#include "platform/sjis.h"

namespace orba::test {

inline std::string sj(const std::string& utf8) {
    return utf8ToSjis(utf8);
}

}  // namespace orba::test
