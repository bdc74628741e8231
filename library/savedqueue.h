// The party queue as the catalogue's file keeps it: plain rows, in the
// player's terms but without its rules (the player owns the queue; the
// file only keeps it across a restart).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace orba {

struct SavedQueueEntry {
    std::int64_t id = 0;
    std::int64_t songId = 0;
    std::string path;
    std::string title;
    std::string singer;
    std::optional<int> key;
    std::optional<int> tempo;
    std::optional<int> pinned;

    bool operator==(const SavedQueueEntry&) const = default;
};

struct SavedSinger {
    std::string name;
    std::int64_t lastSung = 0;

    bool operator==(const SavedSinger&) const = default;
};

struct SavedQueue {
    std::vector<SavedQueueEntry> waiting;  // in the order they were queued
    std::optional<SavedQueueEntry> playing;
    std::vector<SavedSinger> singers;  // in the order they first queued
    std::int64_t nextId = 1;
    std::int64_t turns = 0;
    bool paused = false;

    bool operator==(const SavedQueue&) const = default;
};

}  // namespace orba
