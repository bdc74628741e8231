#include "app/partyqueuestore.h"

#include "app/librarycontrol.h"
#include "library/library.h"
#include "platform/files.h"

namespace orba {

namespace {

std::optional<PartyQueueStore::Song> songOf(const std::optional<SearchHit>& hit) {
    if (!hit) return std::nullopt;
    return PartyQueueStore::Song{hit->id, hit->path, hit->title};
}

}  // namespace

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
        if (std::optional<PartyQueueState> saved = library->loadQueue()) return *saved;
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
        library->saveQueue(state);
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
