#include "app/partyqueuestore.h"

#include "app/librarycontrol.h"
#include "library/library.h"
#include "platform/files.h"

namespace orba {

namespace {

SavedQueueEntry savedEntryOf(const QueueEntry& e) {
    return {e.id, e.songId, e.path, e.title, e.singer, e.key, e.tempo, e.pinned};
}

QueueEntry entryOf(const SavedQueueEntry& e) {
    return {e.id, e.songId, e.path, e.title, e.singer, e.key, e.tempo, e.pinned};
}

std::optional<PartyQueueStore::Song> songOf(const std::optional<SearchHit>& hit) {
    if (!hit) return std::nullopt;
    return PartyQueueStore::Song{hit->id, hit->path, hit->title};
}

}  // namespace

SavedQueue savedQueueOf(const PartyQueueState& state) {
    SavedQueue saved;
    for (const QueueEntry& e : state.waiting) saved.waiting.push_back(savedEntryOf(e));
    if (state.playing) saved.playing = savedEntryOf(*state.playing);
    for (const QueueSinger& s : state.singers) saved.singers.push_back({s.name, s.lastSung});
    saved.nextId = state.nextId;
    saved.turns = state.turns;
    saved.paused = state.paused;
    return saved;
}

PartyQueueState partyQueueOf(const SavedQueue& saved) {
    PartyQueueState state;
    for (const SavedQueueEntry& e : saved.waiting) state.waiting.push_back(entryOf(e));
    if (saved.playing) state.playing = entryOf(*saved.playing);
    for (const SavedSinger& s : saved.singers) state.singers.push_back({s.name, s.lastSung});
    state.nextId = saved.nextId;
    state.turns = saved.turns;
    state.paused = saved.paused;
    return state;
}

LibraryQueueStore::LibraryQueueStore(LibraryControl& library, StatusWriter status)
    : m_library(library), m_status(std::move(status)) {}

bool LibraryQueueStore::libraryExists() const {
    return !m_library.file().empty() && fileOrFolderExists(m_library.file());
}

std::optional<PartyQueueState> LibraryQueueStore::load() {
    if (!libraryExists()) return std::nullopt;
    try {
        Library* library = m_library.library();
        if (!library) throw LibraryError(m_library.openError());
        if (std::optional<SavedQueue> saved = library->loadQueue()) return partyQueueOf(*saved);
    } catch (const std::exception& e) {
        m_status(std::string("Queue not read: ") + e.what());
    }
    return std::nullopt;
}

void LibraryQueueStore::save(const PartyQueueState& state) {
    // Without a library, a queue that holds no song (a pause alone) is not
    // worth making one for.
    if (state.waiting.empty() && !state.playing && !libraryExists()) return;
    try {
        Library* library = m_library.library();
        if (!library) throw LibraryError(m_library.openError());
        library->saveQueue(savedQueueOf(state));
    } catch (const std::exception& e) {
        m_status(std::string("Queue not saved: ") + e.what());
    }
}

std::optional<PartyQueueStore::Song> LibraryQueueStore::songById(std::int64_t id) {
    if (!libraryExists()) return std::nullopt;
    Library* library = m_library.library();
    return library ? songOf(library->song(id)) : std::nullopt;
}

std::optional<PartyQueueStore::Song> LibraryQueueStore::songByPath(const std::string& path) {
    if (!libraryExists()) return std::nullopt;
    Library* library = m_library.library();
    return library ? songOf(library->songAt(path)) : std::nullopt;
}

}  // namespace orba
