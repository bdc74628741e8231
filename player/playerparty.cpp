// The player's side of party mode: queue commands, the screen that names
// the next singer between songs, and the page's QR code.
//
// Between songs: a song end (or a skip) takes the next entry and, with the
// up-next screen on, stops the music and announces the entry instead of
// opening it. The frames then draw the announcement over the scenes, the
// song clocks standing still, until its time is up (a frame queues
// StartUpNext) or Space starts it. Any song load ends the announcement.
#include <string>

#include "lyrics/partyscreens.h"
#include "platform/files.h"
#include "platform/musictypes.h"
#include "platform/profilefile.h"
#include "player/foldersongs.h"
#include "player/player.h"

namespace orba {

void Player::runPartyCommand(const Command& c) {
    switch (c.kind) {
        case CommandKind::QueueSong:
            queueSong(c.queue);
            return;
        case CommandKind::RemoveQueueEntry:
            m_queueOutcome = {m_queue.remove(c.entry), c.entry, QueueRefusal::None};
            return;
        case CommandKind::MoveQueueEntry:
            m_queueOutcome = {m_queue.move(c.entry, c.value), c.entry, QueueRefusal::None};
            return;
        case CommandKind::SkipQueueEntry:
            skipQueueEntry();
            return;
        case CommandKind::PauseQueue:
            m_queue.setPaused(c.value != 0);
            m_queueOutcome = {true, 0, QueueRefusal::None};
            return;
        case CommandKind::StartUpNext:
            startUpNext();
            return;
        case CommandKind::PartyCode:
            m_partyCodeShown = !m_partyCodeShown;
            return;
        default:
            return;
    }
}

void Player::queueSong(QueueRequest r) {
    PartyQueueStore* store = m_queue.store();
    if (r.path.empty() && r.songId != 0 && store) {
        if (std::optional<PartyQueueStore::Song> song = store->songById(r.songId)) {
            r.path = song->path;
            if (r.title.empty()) r.title = song->title;
        }
    } else if (!r.path.empty() && store) {
        if (std::optional<PartyQueueStore::Song> song = store->songByPath(r.path)) {
            r.songId = song->id;
            if (r.title.empty()) r.title = song->title;
        }
    }
    if (!r.path.empty() && (!hasMusicExtension(r.path) || !isRegularFile(r.path))) {
        m_queueOutcome.why = QueueRefusal::NoSong;
        postStatus(fileNamePart(r.path) + " が見つかりません");
        return;
    }
    if (r.title.empty()) r.title = nextSongMessage(r.path);
    QueueRefusal why = QueueRefusal::None;
    const std::string title = r.title;
    if (std::optional<std::int64_t> id = m_queue.add(std::move(r), &why)) {
        m_queueOutcome = {true, *id, QueueRefusal::None};
        postStatus("キューに入れました: " + title);
        return;
    }
    m_queueOutcome.why = why;
    postStatus(queueRefusalText(why));
}

bool Player::playFromQueue(std::optional<QueueEntry> entry, bool announce) {
    m_upNext.reset();
    for (; entry; entry = m_queue.next()) {
        if (!isRegularFile(entry->path)) {
            postStatus(fileNamePart(entry->path) + " が見つかりません");
            continue;
        }
        if (announce && m_upNextMs > 0 && !m_options.inspecting) {
            m_transport->stop();
            m_upNext = std::move(entry);
            m_upNextLeft = m_upNextMs;
            return true;
        }
        m_host.setTimerEnabled(false);
        m_transport->stop();
        try {
            if (openMusicFile(entry->path)) {
                postStatus(queueEntryMessage(*entry));
                return true;
            }
        } catch (const ProfileWriteError& e) {
            // The settings file refused the song: the queue moves on.
            postStatus(e.what());
        }
        m_host.setTimerEnabled(true);
    }
    return false;
}

void Player::skipQueueEntry() {
    if (playFromQueue(m_queue.next())) return;
    stopSong();
}

void Player::startUpNext() {
    if (!m_upNext) return;
    std::optional<QueueEntry> entry = std::move(m_upNext);
    m_upNext.reset();
    if (!playFromQueue(std::move(entry), false)) stopSong();
}

void Player::upNextFrame(Bitmap* back, int dt) {
    const bool wasRunning = m_upNextLeft > 0;
    m_upNextLeft -= dt;
    if (wasRunning && m_upNextLeft <= 0) m_queued.push_back({CommandKind::StartUpNext});
    if (!back) return;
    UpNextScreen screen;
    screen.singer = m_upNext->singer;
    screen.title = m_upNext->title;
    screen.secondsLeft = std::max(0, (m_upNextLeft + 999) / 1000);
    drawUpNextScreen(*back, m_frame.values(), m_settings, screen);
    drawPartyCode(*back);
}

void Player::setPartyAddress(const std::string& address) {
    m_partyCode = makeQrCode(address);
}

void Player::drawPartyCode(Bitmap& back) {
    if (partyCodeShown()) drawQrCode(back, m_frame.values(), m_partyCode);
}

}  // namespace orba
