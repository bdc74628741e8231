// The search forms of every present song's title and artist, in title
// order, held in memory for words of one or two characters: the trigram
// indexes cannot look for them, and asking the database row by row for a
// word that few titles hold costs tens of milliseconds at a hundred
// thousand songs, where a pass over memory costs one.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace orba {

namespace sql {
class Database;
}

class NameKeys {
public:
    void load(sql::Database& db);

    // Songs whose title or artist holds every word: first those whose
    // title begins with the first word, then the others, each in title
    // order; at most `limit`.
    std::vector<std::int64_t> find(const std::vector<std::string>& words, std::size_t limit) const;

private:
    std::string_view title(std::size_t i) const;
    std::string_view entry(std::size_t i) const;
    bool holdsAll(std::size_t i, const std::vector<std::string>& words) const;

    // "title\x1fartist\n" for each song; a word holds neither separator.
    std::string m_text;
    std::vector<std::uint32_t> m_starts;
    std::vector<std::int64_t> m_ids;
};

}  // namespace orba
