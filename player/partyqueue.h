// The party queue: songs with the names of those who sing them, played in
// fair turns.
//
// Fair turns: the singer who sang longest ago goes next, and one who has
// not sung yet goes before anyone who has, in the order the singers first
// queued; each singer's own songs keep the order they were queued in. So a
// singer who has sung waits until every other waiting singer has had a turn.
//
// The host's order: an entry moved by hand is pinned to the place it was
// moved to and keeps it, its place coming one nearer the front each time an
// entry before it plays or leaves, as in a list one takes from and puts
// back into; fair turns fill the places around pinned entries. A pinned
// entry still counts as its singer's turn when it plays, so the singers
// after it are ordered as if it had come by its own turn.
//
// Every decision is a pure function over PartyQueueState; PartyQueue holds
// one state, hands each change to its store, and is what the player owns.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "settings/queuevalues.h"
#include "settings/singervalues.h"

namespace orba {

inline constexpr int kWaitingPerSinger = 10;  // songs one singer may have waiting
inline constexpr int kQueueKeyMin = -12;      // semitones
inline constexpr int kQueueKeyMax = 12;

// How long before a song's end the queued song after it is named on screen.
inline constexpr int kNextUpLeadMs = 20000;

// What a guest asks to sing.
struct QueueRequest {
    std::int64_t songId = 0;
    std::string path;
    std::string title;
    std::string singer;
    std::optional<int> key;
    std::optional<int> tempo;

    bool operator==(const QueueRequest&) const = default;
};

enum class QueueRefusal {
    None,
    NoName,   // nothing left of the name after cleaning
    TooMany,  // the singer has kWaitingPerSinger songs waiting
    NoSong,   // no path
    KeyOutOfRange,
    TempoOutOfRange,
};

// The name as the queue keeps it (visibleName): at most kSingerNameMax
// characters, none of them invisible.
std::string cleanSingerName(std::string_view name);
// Whether two cleaned names are one singer: ASCII letters match in either case.
bool sameSinger(std::string_view a, std::string_view b);

// Why `request` may not be queued (its name already cleaned); None when it may.
QueueRefusal refusalFor(const PartyQueueState& state, const QueueRequest& request);

// The waiting entries in the order they will play.
std::vector<QueueEntry> playOrder(const PartyQueueState& state);

// The pure steps behind PartyQueue's operations; each returns whether it
// changed the state.
std::optional<std::int64_t> addEntry(PartyQueueState& state, QueueRequest request,
                                     QueueRefusal* why = nullptr);
bool removeEntry(PartyQueueState& state, std::int64_t id);
bool moveEntry(PartyQueueState& state, std::int64_t id, int position);
// Takes the next entry to play (none when paused or empty); the entry that
// played before ends.
std::optional<QueueEntry> takeNext(PartyQueueState& state);
// The playing entry ends without another taking its place.
bool endPlaying(PartyQueueState& state);

// What a queue command did, for whoever asked (a guest's page waits for it).
struct QueueOutcome {
    bool done = false;
    std::int64_t entry = 0;  // the entry queued
    QueueRefusal why = QueueRefusal::None;
};

// The singer's controls for an entry's song: its key and tempo, where set,
// over what the song keeps, pulled into what the player can play (a key
// beyond its range plays at the nearest one it has).
SingerControls singerForEntry(SingerControls song, const QueueEntry& entry);
// The status texts: why a song was not queued; and "TITLE / SINGER" when
// an entry starts.
std::string queueRefusalText(QueueRefusal why);
std::string queueEntryMessage(const QueueEntry& entry);

// Where the queue is kept between runs.
class PartyQueueStore {
public:
    virtual ~PartyQueueStore() = default;
    virtual std::optional<PartyQueueState> load() = 0;
    virtual void save(const PartyQueueState& state) = 0;
    // The library's knowledge of a song, to queue by id or to name a path.
    struct Song {
        std::int64_t id = 0;
        std::string path;
        std::string title;
    };
    virtual std::optional<Song> songById(std::int64_t) { return std::nullopt; }
    virtual std::optional<Song> songByPath(const std::string&) { return std::nullopt; }
};

class PartyQueue {
public:
    // Loads what the store kept (a store that fails to load leaves the queue
    // empty); every later change is saved to it. Null: kept in memory only.
    void attachStore(PartyQueueStore* store);
    PartyQueueStore* store() const { return m_store; }
    // Told of every change after the store (the guests' pages follow it).
    using Listener = std::function<void(const PartyQueueState&)>;
    void setListener(Listener listener) { m_listener = std::move(listener); }

    std::optional<std::int64_t> add(QueueRequest request, QueueRefusal* why = nullptr);
    bool remove(std::int64_t id);
    bool move(std::int64_t id, int position);
    std::optional<QueueEntry> next();
    // The playing entry ends (a skip with nothing taken after it).
    bool skip();
    void setPaused(bool paused);

    bool paused() const { return m_state.paused; }
    const std::optional<QueueEntry>& now() const { return m_state.playing; }
    std::vector<QueueEntry> upcoming() const { return playOrder(m_state); }
    const PartyQueueState& state() const { return m_state; }

private:
    void changed();

    PartyQueueState m_state;
    PartyQueueStore* m_store = nullptr;
    Listener m_listener;
};

// "次: NAME — TITLE" for the entry that plays next, in the last
// kNextUpLeadMs of a song of known length; empty otherwise.
std::string nextUpText(const std::optional<QueueEntry>& next, int songTime, int songLength);

}  // namespace orba
