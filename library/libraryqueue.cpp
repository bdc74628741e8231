// The party queue's rows in the catalogue's file, and the look-ups that
// name a queued song.
#include "library/library.h"
#include "library/sqlite.h"

namespace orba {

namespace {

void insertEntry(sql::Statement& insert, const QueueEntry& e, int place) {
    insert.bind(1, e.id)
        .bind(2, place)
        .bind(3, e.songId)
        .bind(4, e.path)
        .bind(5, e.title)
        .bind(6, e.singer)
        .bind(7, e.key)
        .bind(8, e.tempo)
        .bind(9, e.pinned)
        .run();
}

std::optional<SearchHit> oneSong(sql::Statement& s) {
    std::optional<SearchHit> hit;
    if (s.step()) {
        hit = SearchHit{s.integer(0), s.text(1), s.text(2), s.text(3), {}};
        s.reset();
    }
    return hit;
}

}  // namespace

std::optional<PartyQueueState> Library::loadQueue() {
    std::optional<PartyQueueState> queue;
    recovering([&] {
        queue.reset();
        sql::Statement state = m_db->prepare("SELECT next_id, turns, paused FROM queue_state");
        if (!state.step()) return;
        PartyQueueState q;
        q.nextId = state.integer(0);
        q.turns = state.integer(1);
        q.paused = state.integer(2) != 0;
        state.reset();
        sql::Statement entries = m_db->prepare(
            "SELECT id, place, song_id, path, title, singer, key_shift, tempo, pinned "
            "FROM queue_entries ORDER BY place");
        while (entries.step()) {
            QueueEntry e{entries.integer(0),
                         entries.integer(2),
                         entries.text(3),
                         entries.text(4),
                         entries.text(5),
                         entries.optionalInteger(6),
                         entries.optionalInteger(7),
                         entries.optionalInteger(8)};
            if (entries.integer(1) < 0)
                q.playing = std::move(e);
            else
                q.waiting.push_back(std::move(e));
        }
        sql::Statement singers =
            m_db->prepare("SELECT name, last_sung FROM queue_singers ORDER BY place");
        while (singers.step()) q.singers.push_back({singers.text(0), singers.integer(1)});
        queue = std::move(q);
    });
    return queue;
}

// The queue is small (tens of entries) and changes a few times a minute:
// every change writes it whole, so the file never holds half a change.
void Library::saveQueue(const PartyQueueState& q) {
    recovering([&] {
        sql::Transaction t(*m_db);
        m_db->exec(
            "DELETE FROM queue_entries; DELETE FROM queue_singers; DELETE FROM queue_state;");
        sql::Statement insert = m_db->prepare(
            "INSERT INTO queue_entries(id, place, song_id, path, title, singer, key_shift, "
            "tempo, pinned) VALUES(?, ?, ?, ?, ?, ?, ?, ?, ?)");
        if (q.playing) insertEntry(insert, *q.playing, -1);
        for (std::size_t i = 0; i < q.waiting.size(); ++i)
            insertEntry(insert, q.waiting[i], static_cast<int>(i));
        sql::Statement singer =
            m_db->prepare("INSERT INTO queue_singers(place, name, last_sung) VALUES(?, ?, ?)");
        for (std::size_t i = 0; i < q.singers.size(); ++i)
            singer.bind(1, static_cast<std::int64_t>(i))
                .bind(2, q.singers[i].name)
                .bind(3, q.singers[i].lastSung)
                .run();
        m_db->prepare("INSERT INTO queue_state(id, next_id, turns, paused) VALUES(1, ?, ?, ?)")
            .bind(1, q.nextId)
            .bind(2, q.turns)
            .bind(3, q.paused)
            .run();
        t.commit();
    });
}

std::optional<SearchHit> Library::song(std::int64_t id) {
    std::optional<SearchHit> hit;
    recovering([&] {
        sql::Statement s =
            m_db->prepare("SELECT id, path, title, artist FROM songs WHERE id = ? AND missing = 0");
        s.bind(1, id);
        hit = oneSong(s);
    });
    return hit;
}

std::optional<SearchHit> Library::songAt(const std::string& path) {
    std::optional<SearchHit> hit;
    recovering([&] {
        sql::Statement s = m_db->prepare(
            "SELECT id, path, title, artist FROM songs WHERE path = ? AND missing = 0");
        s.bind(1, path);
        hit = oneSong(s);
    });
    return hit;
}

}  // namespace orba
