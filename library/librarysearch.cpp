// The search. Words of three characters or more go to the trigram index,
// in two rounds: songs whose title or artist hold every word, then songs
// that hold them anywhere (their lyrics), each with the line that matched.
// Either round stops at the limit, so a word in every song's lyrics answers
// as fast as a rare one. Words of one or two characters have no trigram:
// alone they are looked for in the indexed search forms of titles and
// artists, titles that begin with them first; beside longer words they
// narrow what those find.
#include <algorithm>
#include <unordered_set>

#include "library/library.h"
#include "library/searchform.h"
#include "library/sqlite.h"

namespace orba {

namespace {

std::vector<std::string> wordsOf(std::string_view text) {
    const std::string folded = searchForm(text);
    std::vector<std::string> words;
    std::size_t start = 0;
    while (start < folded.size()) {
        std::size_t end = folded.find_first_of(" \t\r\n", start);
        if (end == std::string::npos) end = folded.size();
        if (end > start) {
            std::string w = folded.substr(start, end - start);
            if (std::find(words.begin(), words.end(), w) == words.end())
                words.push_back(std::move(w));
        }
        start = end + 1;
    }
    return words;
}

bool indexable(const std::string& word) {
    return utf8Length(word) >= 3;
}

std::string phrase(const std::string& word) {
    std::string quoted = "\"";
    for (char c : word) {
        quoted += c;
        if (c == '"') quoted += '"';
    }
    return quoted + "\"";
}

// " AND (instr(c1, ?) > 0 OR instr(c2, ?) > 0 ...)" for each word.
std::string containsAll(std::size_t words, std::initializer_list<const char*> columns) {
    std::string sql;
    for (std::size_t w = 0; w < words; ++w) {
        sql += " AND (";
        bool first = true;
        for (const char* c : columns) {
            if (!first) sql += " OR ";
            first = false;
            sql += std::string("instr(") + c + ", ?" + std::to_string(w + 1) + ") > 0";
        }
        sql += ")";
    }
    return sql;
}

// The line of `lyrics` where the longest word first stands: the search form
// keeps line breaks where they were, so a place in it names the line.
std::string lineHolding(const std::string& lyrics, const std::vector<std::string>& words) {
    const std::string folded = searchForm(lyrics);
    std::vector<const std::string*> longestFirst;
    for (const std::string& w : words) longestFirst.push_back(&w);
    std::stable_sort(
        longestFirst.begin(), longestFirst.end(),
        [](const std::string* a, const std::string* b) { return a->size() > b->size(); });
    for (const std::string* w : longestFirst) {
        const std::size_t at = folded.find(*w);
        if (at == std::string::npos) continue;
        const auto lineNo =
            std::count(folded.begin(), folded.begin() + static_cast<long>(at), '\n');
        std::size_t begin = 0;
        for (long n = 0; n < lineNo; ++n) begin = lyrics.find('\n', begin) + 1;
        std::size_t end = lyrics.find('\n', begin);
        if (end == std::string::npos) end = lyrics.size();
        if (end > begin && lyrics[end - 1] == '\r') --end;
        return lyrics.substr(begin, end - begin);
    }
    return {};
}

}  // namespace

std::vector<SearchHit> Library::search(std::string_view text, int limit) {
    std::vector<SearchHit> hits;
    const std::vector<std::string> words = wordsOf(text);
    if (words.empty() || limit <= 0) return hits;
    recovering([&] { hits = searchTerms(words, limit); });
    return hits;
}

std::vector<SearchHit> Library::searchTerms(const std::vector<std::string>& words, int limit) {
    std::vector<std::string> longWords, shortWords;
    for (const std::string& w : words) (indexable(w) ? longWords : shortWords).push_back(w);
    std::vector<SearchHit> hits;
    std::unordered_set<std::int64_t> found;
    auto collect = [&](sql::Statement& s, bool inLyrics) {
        while (s.step()) {
            if (!found.insert(s.integer(0)).second) continue;
            hits.push_back({s.integer(0), s.text(1), s.text(2), s.text(3),
                            inLyrics ? lineHolding(s.text(4), words) : std::string()});
            if (hits.size() >= static_cast<std::size_t>(limit)) {
                s.reset();
                return;
            }
        }
    };

    if (longWords.empty()) {
        // Titles that begin with the first word, in title order, then any
        // title or artist that holds every word.
        const std::string first = shortWords.front();
        sql::Statement begins =
            m_db->prepare("SELECT id, path, title, artist FROM songs WHERE title_key >= ?" +
                          std::to_string(shortWords.size() + 1) + " AND title_key < ?" +
                          std::to_string(shortWords.size() + 2) + " AND missing = 0" +
                          containsAll(shortWords.size(), {"title_key", "artist_key"}) +
                          " ORDER BY title_key LIMIT " + std::to_string(limit));
        sql::Statement holds = m_db->prepare(
            "SELECT id FROM songs WHERE missing = 0" +
            containsAll(shortWords.size(), {"title_key", "artist_key"}) + " ORDER BY title_key");
        for (std::size_t w = 0; w < shortWords.size(); ++w) {
            begins.bind(static_cast<int>(w + 1), shortWords[w]);
            holds.bind(static_cast<int>(w + 1), shortWords[w]);
        }
        begins.bind(static_cast<int>(shortWords.size() + 1), first);
        begins.bind(static_cast<int>(shortWords.size() + 2), first + "\xF4\x8F\xBF\xBF");
        collect(begins, false);
        // Only the ids, from the narrow index of search forms; the rest of
        // the row is read for the few that are shown.
        sql::Statement row =
            m_db->prepare("SELECT id, path, title, artist FROM songs WHERE id = ?");
        while (hits.size() < static_cast<std::size_t>(limit) && holds.step()) {
            if (found.count(holds.integer(0))) continue;
            row.bind(1, holds.integer(0));
            collect(row, false);
        }
        holds.reset();
        return hits;
    }

    std::string match;
    for (const std::string& w : longWords) match += (match.empty() ? "" : " AND ") + phrase(w);
    // The lyrics are read only in the second round, whose lines are shown.
    auto select = [&](const char* lyrics, const char* join) {
        return std::string("SELECT s.id, s.path, s.title, s.artist, ") + lyrics +
               " FROM song_index JOIN songs s ON s.id = song_index.rowid " + join +
               " WHERE song_index MATCH ?" + std::to_string(shortWords.size() + 1) +
               " AND s.missing = 0";
    };
    sql::Statement inTitles =
        m_db->prepare(select("NULL", "") +
                      containsAll(shortWords.size(), {"song_index.title", "song_index.artist"}));
    sql::Statement anywhere =
        m_db->prepare(select("l.text", "LEFT JOIN song_lyrics l ON l.song_id = s.id") +
                      containsAll(shortWords.size(),
                                  {"song_index.title", "song_index.artist", "song_index.lyrics"}));
    for (std::size_t w = 0; w < shortWords.size(); ++w) {
        inTitles.bind(static_cast<int>(w + 1), shortWords[w]);
        anywhere.bind(static_cast<int>(w + 1), shortWords[w]);
    }
    inTitles.bind(static_cast<int>(shortWords.size() + 1), "{title artist} : (" + match + ")");
    anywhere.bind(static_cast<int>(shortWords.size() + 1), match);
    collect(inTitles, false);
    if (hits.size() < static_cast<std::size_t>(limit)) collect(anywhere, true);
    return hits;
}

}  // namespace orba
