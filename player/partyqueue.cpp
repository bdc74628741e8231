#include "player/partyqueue.h"

#include <algorithm>

#include "platform/textencoding.h"

namespace orba {

namespace {

int waitingOf(const PartyQueueState& state, std::string_view singer) {
    return static_cast<int>(
        std::count_if(state.waiting.begin(), state.waiting.end(),
                      [&](const QueueEntry& e) { return sameSinger(e.singer, singer); }));
}

std::size_t singerIndex(const std::vector<QueueSinger>& singers, std::string_view name) {
    for (std::size_t i = 0; i < singers.size(); ++i)
        if (sameSinger(singers[i].name, name)) return i;
    return singers.size();
}

// The play order as the indices of `state.waiting`.
std::vector<std::size_t> orderIndices(const PartyQueueState& state) {
    std::vector<std::int64_t> lastSung;
    for (const QueueSinger& s : state.singers) lastSung.push_back(s.lastSung);
    std::vector<std::size_t> singerOf;
    std::vector<std::size_t> pinned;
    for (std::size_t i = 0; i < state.waiting.size(); ++i) {
        std::size_t s = singerIndex(state.singers, state.waiting[i].singer);
        if (s == lastSung.size()) lastSung.push_back(0);  // a state from elsewhere
        singerOf.push_back(s);
        if (state.waiting[i].pinned) pinned.push_back(i);
    }
    // Ties keep the order of `waiting`, where the latest move stands first.
    std::stable_sort(pinned.begin(), pinned.end(), [&](std::size_t a, std::size_t b) {
        return *state.waiting[a].pinned < *state.waiting[b].pinned;
    });

    std::vector<bool> placed(state.waiting.size(), false);
    std::vector<std::size_t> order;
    std::int64_t turn = state.turns;
    std::size_t nextPinned = 0;
    auto place = [&](std::size_t i) {
        placed[i] = true;
        order.push_back(i);
        lastSung[singerOf[i]] = ++turn;
    };
    while (order.size() < state.waiting.size()) {
        const int slot = static_cast<int>(order.size());
        if (nextPinned < pinned.size() && *state.waiting[pinned[nextPinned]].pinned <= slot) {
            place(pinned[nextPinned++]);
            continue;
        }
        // The earliest queued unpinned entry of the singer who sang longest ago.
        std::optional<std::size_t> best;
        for (std::size_t i = 0; i < state.waiting.size(); ++i) {
            if (placed[i] || state.waiting[i].pinned) continue;
            if (!best) {
                best = i;
                continue;
            }
            const std::size_t s = singerOf[i];
            const std::size_t t = singerOf[*best];
            if (lastSung[s] < lastSung[t] || (lastSung[s] == lastSung[t] && s < t)) best = i;
        }
        place(best ? *best : pinned[nextPinned++]);
    }
    return order;
}

}  // namespace

std::string cleanSingerName(std::string_view name) {
    return visibleName(name, kSingerNameMax);
}

bool sameSinger(std::string_view a, std::string_view b) {
    auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; };
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                              [&](char x, char y) { return lower(x) == lower(y); });
}

QueueRefusal refusalFor(const PartyQueueState& state, const QueueRequest& r) {
    if (r.singer.empty()) return QueueRefusal::NoName;
    if (r.path.empty()) return QueueRefusal::NoSong;
    if (r.key && (*r.key < kQueueKeyMin || *r.key > kQueueKeyMax))
        return QueueRefusal::KeyOutOfRange;
    if (r.tempo && (*r.tempo < kTempoMin || *r.tempo > kTempoMax))
        return QueueRefusal::TempoOutOfRange;
    if (waitingOf(state, r.singer) >= kWaitingPerSinger) return QueueRefusal::TooMany;
    return QueueRefusal::None;
}

std::vector<QueueEntry> playOrder(const PartyQueueState& state) {
    std::vector<QueueEntry> entries;
    for (std::size_t i : orderIndices(state)) entries.push_back(state.waiting[i]);
    return entries;
}

std::optional<std::int64_t> addEntry(PartyQueueState& state, QueueRequest r, QueueRefusal* why) {
    r.singer = cleanSingerName(r.singer);
    const QueueRefusal refusal = refusalFor(state, r);
    if (why) *why = refusal;
    if (refusal != QueueRefusal::None) return std::nullopt;
    if (singerIndex(state.singers, r.singer) == state.singers.size())
        state.singers.push_back({r.singer, 0});
    QueueEntry e;
    e.id = state.nextId++;
    e.songId = r.songId;
    e.path = std::move(r.path);
    e.title = std::move(r.title);
    e.singer = std::move(r.singer);
    e.key = r.key;
    e.tempo = r.tempo;
    state.waiting.push_back(std::move(e));
    return state.waiting.back().id;
}

namespace {

// Takes the entry at `slot` of the play order out of `waiting`; the pinned
// entries behind it move up with the rest.
QueueEntry takeAt(PartyQueueState& state, const std::vector<std::size_t>& order, std::size_t slot) {
    const std::size_t index = order[slot];
    QueueEntry taken = state.waiting[index];
    state.waiting.erase(state.waiting.begin() + static_cast<std::ptrdiff_t>(index));
    for (QueueEntry& e : state.waiting)
        if (e.pinned && *e.pinned > static_cast<int>(slot)) --*e.pinned;
    return taken;
}

std::optional<std::size_t> slotOf(const PartyQueueState& state,
                                  const std::vector<std::size_t>& order, std::int64_t id) {
    for (std::size_t slot = 0; slot < order.size(); ++slot)
        if (state.waiting[order[slot]].id == id) return slot;
    return std::nullopt;
}

}  // namespace

bool removeEntry(PartyQueueState& state, std::int64_t id) {
    const std::vector<std::size_t> order = orderIndices(state);
    const std::optional<std::size_t> slot = slotOf(state, order, id);
    if (!slot) return false;
    takeAt(state, order, *slot);
    return true;
}

bool moveEntry(PartyQueueState& state, std::int64_t id, int position) {
    const std::vector<std::size_t> order = orderIndices(state);
    const std::optional<std::size_t> slot = slotOf(state, order, id);
    if (!slot) return false;
    QueueEntry moved = takeAt(state, order, *slot);
    const int last = static_cast<int>(state.waiting.size());
    moved.pinned = std::clamp(position, 0, last);
    // First in `waiting`: of two entries pinned to one place, the one moved
    // last takes it.
    state.waiting.insert(state.waiting.begin(), std::move(moved));
    return true;
}

std::optional<QueueEntry> takeNext(PartyQueueState& state) {
    state.playing.reset();
    if (state.paused || state.waiting.empty()) return std::nullopt;
    QueueEntry next = takeAt(state, orderIndices(state), 0);
    next.pinned.reset();
    std::size_t s = singerIndex(state.singers, next.singer);
    if (s == state.singers.size()) state.singers.push_back({next.singer, 0});
    state.singers[s].lastSung = ++state.turns;
    state.playing = next;
    return next;
}

bool endPlaying(PartyQueueState& state) {
    if (!state.playing) return false;
    state.playing.reset();
    return true;
}

SingerControls singerForEntry(SingerControls song, const QueueEntry& entry) {
    if (entry.key) song.key = *entry.key;
    if (entry.tempo) song.tempo = *entry.tempo;
    return clampedSinger(song);
}

std::string queueRefusalText(QueueRefusal why) {
    switch (why) {
        case QueueRefusal::None:
            return {};
        case QueueRefusal::NoName:
            return "キュー: 歌う人の名前が要ります";
        case QueueRefusal::TooMany:
            return "キュー: この人の曲はもう " + std::to_string(kWaitingPerSinger) +
                   " 曲待っています";
        case QueueRefusal::NoSong:
            return "キュー: その曲はありません";
        case QueueRefusal::KeyOutOfRange:
            return "キュー: キーは -12 から +12 までです";
        case QueueRefusal::TempoOutOfRange:
            return "キュー: テンポは " + std::to_string(kTempoMin) + "% から " +
                   std::to_string(kTempoMax) + "% までです";
    }
    return {};
}

std::string queueEntryMessage(const QueueEntry& entry) {
    return entry.title + "|" + entry.singer;
}

void PartyQueue::attachStore(PartyQueueStore* store) {
    m_store = store;
    m_state = {};
    if (!m_store) return;
    if (std::optional<PartyQueueState> kept = m_store->load()) m_state = std::move(*kept);
}

void PartyQueue::changed() {
    if (m_store) m_store->save(m_state);
    if (m_listener) m_listener(m_state);
}

std::optional<std::int64_t> PartyQueue::add(QueueRequest request, QueueRefusal* why) {
    std::optional<std::int64_t> id = addEntry(m_state, std::move(request), why);
    if (id) changed();
    return id;
}

bool PartyQueue::remove(std::int64_t id) {
    if (!removeEntry(m_state, id)) return false;
    changed();
    return true;
}

bool PartyQueue::move(std::int64_t id, int position) {
    if (!moveEntry(m_state, id, position)) return false;
    changed();
    return true;
}

std::optional<QueueEntry> PartyQueue::next() {
    const bool wasPlaying = m_state.playing.has_value();
    std::optional<QueueEntry> e = takeNext(m_state);
    if (e || wasPlaying) changed();
    return e;
}

bool PartyQueue::skip() {
    if (!endPlaying(m_state)) return false;
    changed();
    return true;
}

void PartyQueue::setPaused(bool paused) {
    if (m_state.paused == paused) return;
    m_state.paused = paused;
    changed();
}

std::string nextUpText(const std::optional<QueueEntry>& next, int songTime, int songLength) {
    if (!next || songLength <= 0 || songTime < songLength - kNextUpLeadMs) return {};
    return "次: " + next->singer + " — " + next->title;
}

}  // namespace orba
