// The best singing score of each song in the catalogue's file.
#include <chrono>

#include "library/library.h"
#include "library/sqlite.h"

namespace orba {

std::optional<int> Library::bestScore(const std::string& path) {
    std::optional<int> best;
    recovering([&] {
        best.reset();
        sql::Statement s = m_db->prepare("SELECT score FROM best_scores WHERE path = ?");
        s.bind(1, path);
        if (s.step()) best = static_cast<int>(s.integer(0));
    });
    return best;
}

std::optional<int> Library::recordScore(const std::string& path, int score) {
    std::optional<int> before;
    recovering([&] {
        sql::Transaction t(*m_db);
        before.reset();
        sql::Statement s = m_db->prepare("SELECT score FROM best_scores WHERE path = ?");
        s.bind(1, path);
        if (s.step()) before = static_cast<int>(s.integer(0));
        s.reset();
        if (!before || score > *before) {
            const auto now = std::chrono::duration_cast<std::chrono::seconds>(
                                 std::chrono::system_clock::now().time_since_epoch())
                                 .count();
            m_db->prepare(
                    "INSERT INTO best_scores(path, score, sung_at) VALUES(?, ?, ?) "
                    "ON CONFLICT(path) DO UPDATE SET score = excluded.score, "
                    "sung_at = excluded.sung_at")
                .bind(1, path)
                .bind(2, score)
                .bind(3, static_cast<std::int64_t>(now))
                .run();
        }
        t.commit();
    });
    return before;
}

}  // namespace orba
