// The few rulers and advance tables kept for long lyric lines, found again
// by what they measure and dropped when least recently used.
#pragma once

#include <cstddef>
#include <list>

namespace orba {

// The first of `values` that `matches`, moved to the front; when none does,
// the one `make` returns, put in front, the last one dropped beyond `limit`.
template <typename T, typename Matches, typename Make>
T& recentlyUsed(std::list<T>& values, std::size_t limit, Matches matches, Make make) {
    for (auto it = values.begin(); it != values.end(); ++it) {
        if (!matches(*it)) continue;
        values.splice(values.begin(), values, it);
        return values.front();
    }
    values.push_front(make());
    if (values.size() > limit) values.pop_back();
    return values.front();
}

}  // namespace orba
