// The party queue's store in the song library's file: the player's queue
// on one side, the library's rows on the other, both of the same plain
// values.
//
// Like the rest of the window's library work, it opens no library file that
// is not there: a queue loads as empty, and the file is made only when the
// queue first has something to keep.
#pragma once

#include <functional>
#include <string>

#include "player/partyqueue.h"

namespace orba {

class LibraryControl;

class LibraryQueueStore : public PartyQueueStore {
public:
    using StatusWriter = std::function<void(std::string text)>;

    // `status` says when the file cannot be read or written; the queue goes
    // on in memory.
    LibraryQueueStore(LibraryControl& library, StatusWriter status);

    std::optional<PartyQueueState> load() override;
    void save(const PartyQueueState& state) override;
    std::optional<Song> songById(std::int64_t id) override;
    std::optional<Song> songByPath(const std::string& path) override;

private:
    bool libraryExists() const;

    LibraryControl& m_library;
    StatusWriter m_status;
};

}  // namespace orba
