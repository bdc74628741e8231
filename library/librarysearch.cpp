// The search. Words of three characters or more go to the trigram indexes,
// in two rounds: songs whose title or artist hold every word (an index of
// their own), then songs that hold them anywhere (their lyrics), each with
// the line that matched. Either round stops at the limit, so a word in
// every song's lyrics answers as fast as a rare one. Words of one or two
// characters have no trigram: alone they are looked for in the names held
// in memory (titles that begin with them first), beside longer words in the
// search forms of titles and artists to narrow what those find.
#include <algorithm>
#include <unordered_set>

#include "library/library.h"
#include "library/namekeys.h"
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
    const std::string folded = lyricsSearchForm(lyrics);
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

// Another player's scan changes the file every quarter second: its songs
// come into the names in memory at most once a second, while this
// connection's own changes come in at once.
const NameKeys& Library::currentNames() {
    constexpr auto kOthersEvery = std::chrono::seconds(1);
    const std::int64_t own = m_db->totalChanges();
    const std::int64_t others = m_db->integer("PRAGMA data_version");
    const auto now = std::chrono::steady_clock::now();
    if (!m_names || own != m_namesOwnChanges ||
        (others != m_namesDataVersion && now - m_namesRead >= kOthersEvery)) {
        if (!m_names) m_names = std::make_unique<NameKeys>();
        m_names->load(*m_db);
        m_namesOwnChanges = own;
        m_namesDataVersion = others;
        m_namesRead = now;
    }
    return *m_names;
}

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
        sql::Statement row =
            m_db->prepare("SELECT id, path, title, artist FROM songs WHERE id = ?");
        for (const std::int64_t id :
             currentNames().find(shortWords, static_cast<std::size_t>(limit))) {
            row.bind(1, id);
            collect(row, false);
        }
        return hits;
    }

    std::string match;
    for (const std::string& w : longWords) match += (match.empty() ? "" : " AND ") + phrase(w);
    // Short words narrow by the search forms of title and artist, which
    // both rounds have at hand; the lyrics are read only in the second
    // round, whose lines are shown.
    const std::string narrowed = containsAll(shortWords.size(), {"s.title_key", "s.artist_key"});
    const std::string matchParameter = "?" + std::to_string(shortWords.size() + 1);
    sql::Statement inTitles = m_db->prepare(
        "SELECT s.id, s.path, s.title, s.artist FROM name_index JOIN songs s ON s.id = "
        "name_index.rowid WHERE name_index MATCH " +
        matchParameter + " AND s.missing = 0" + narrowed);
    sql::Statement anywhere = m_db->prepare(
        "SELECT s.id, s.path, s.title, s.artist, l.text FROM song_index JOIN songs s ON s.id = "
        "song_index.rowid LEFT JOIN song_lyrics l ON l.song_id = s.id WHERE song_index MATCH " +
        matchParameter + " AND s.missing = 0" + narrowed);
    for (std::size_t w = 0; w < shortWords.size(); ++w) {
        inTitles.bind(static_cast<int>(w + 1), shortWords[w]);
        anywhere.bind(static_cast<int>(w + 1), shortWords[w]);
    }
    inTitles.bind(static_cast<int>(shortWords.size() + 1), match);
    anywhere.bind(static_cast<int>(shortWords.size() + 1), match);
    collect(inTitles, false);
    if (hits.size() < static_cast<std::size_t>(limit)) collect(anywhere, true);
    return hits;
}

}  // namespace orba
