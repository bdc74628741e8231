// The party queue as plain values: what the player's queue decides over and
// what the song library keeps of it across a restart, without the rules of
// either.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace orba {

// The longest singer's name the queue keeps, in characters.
inline constexpr int kSingerNameMax = 40;

struct QueueEntry {
    std::int64_t id = 0;
    std::int64_t songId = 0;  // the library's id; 0 for a file the library does not hold
    std::string path;
    std::string title;
    std::string singer;
    std::optional<int> key;    // semitones; none: the song's own
    std::optional<int> tempo;  // percent; none: the song's own
    // The place in the play order the host moved it to.
    std::optional<int> pinned;

    bool operator==(const QueueEntry&) const = default;
};

struct QueueSinger {
    std::string name;
    // The turn the singer last sang in (PartyQueueState::turns); 0: never.
    std::int64_t lastSung = 0;

    bool operator==(const QueueSinger&) const = default;
};

struct PartyQueueState {
    std::vector<QueueEntry> waiting;  // in the order they were queued
    std::optional<QueueEntry> playing;
    std::vector<QueueSinger> singers;  // in the order they first queued
    std::int64_t nextId = 1;
    std::int64_t turns = 0;  // entries taken so far
    bool paused = false;     // a song end takes no entry

    bool operator==(const PartyQueueState&) const = default;
};

}  // namespace orba
