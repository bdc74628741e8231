#include "library/namekeys.h"

#include <algorithm>
#include <cstring>
#include <unordered_set>

#include "library/sqlite.h"

namespace orba {

namespace {
constexpr char kBetween = '\x1f';
constexpr char kEnd = '\n';
}  // namespace

void NameKeys::load(sql::Database& db) {
    m_text.clear();
    m_starts.clear();
    m_ids.clear();
    sql::Statement s = db.prepare(
        "SELECT id, title_key, artist_key FROM songs WHERE missing = 0 ORDER BY title_key");
    while (s.step()) {
        m_starts.push_back(static_cast<std::uint32_t>(m_text.size()));
        m_ids.push_back(s.integer(0));
        m_text.append(s.textView(1)).append(1, kBetween).append(s.textView(2)).append(1, kEnd);
    }
    m_text.shrink_to_fit();
}

std::string_view NameKeys::entry(std::size_t i) const {
    const std::size_t end = i + 1 < m_starts.size() ? m_starts[i + 1] : m_text.size();
    return std::string_view(m_text).substr(m_starts[i], end - m_starts[i]);
}

std::string_view NameKeys::title(std::size_t i) const {
    const std::string_view e = entry(i);
    return e.substr(0, e.find(kBetween));
}

bool NameKeys::holdsAll(std::size_t i, const std::vector<std::string>& words) const {
    const std::string_view e = entry(i);
    return std::all_of(words.begin(), words.end(),
                       [&](const std::string& w) { return e.find(w) != std::string_view::npos; });
}

std::vector<std::int64_t> NameKeys::find(const std::vector<std::string>& words,
                                         std::size_t limit) const {
    std::vector<std::int64_t> found;
    if (words.empty() || limit == 0) return found;
    for (const std::string& w : words)
        if (w.empty() || w.find_first_of("\x1f\n") != std::string::npos) return found;
    const std::string& first = words.front();

    // The titles that begin with the first word lie together.
    std::size_t low = 0, high = m_starts.size();
    while (low < high) {
        const std::size_t mid = (low + high) / 2;
        if (title(mid) < first)
            low = mid + 1;
        else
            high = mid;
    }
    std::unordered_set<std::size_t> taken;
    for (std::size_t i = low;
         i < m_starts.size() && found.size() < limit && title(i).substr(0, first.size()) == first;
         ++i) {
        if (!holdsAll(i, words)) continue;
        found.push_back(m_ids[i]);
        taken.insert(i);
    }

    // One pass over the text for the first word; each place it stands names
    // the song around it.
    const char* text = m_text.data();
    const char* const end = text + m_text.size();
    for (const char* at = text; found.size() < limit;) {
        at = static_cast<const char*>(
            ::memmem(at, static_cast<std::size_t>(end - at), first.data(), first.size()));
        if (!at) break;
        const auto offset = static_cast<std::uint32_t>(at - text);
        const std::size_t i =
            static_cast<std::size_t>(std::upper_bound(m_starts.begin(), m_starts.end(), offset) -
                                     m_starts.begin()) -
            1;
        if (!taken.count(i) && holdsAll(i, words)) found.push_back(m_ids[i]);
        at = i + 1 < m_starts.size() ? text + m_starts[i + 1] : end;
    }
    return found;
}

}  // namespace orba
