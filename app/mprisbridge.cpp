#include "app/mprisbridge.h"

#include <QTimer>
#include <QUrl>
#include <algorithm>
#include <cmath>

#include "app/tdesktopwindow.h"
#include "desktop/mprisservice.h"
#include "desktop/mprisvalues.h"
#include "effects/imagelist.h"
#include "lyrics/textforms.h"
#include "platform/handlerguard.h"
#include "platform/sjistext.h"
#include "playback/mastervolume.h"
#include "playback/mediadevice.h"
#include "settings/companions.h"

namespace orba {

MprisBridge::MprisBridge(TDesktopWindow& window)
    : m_window(window), m_service(std::make_unique<MprisService>(*this)) {
    if (!m_service->start()) return;
    // Connected after the window's own frame handler, so it runs after it.
    QObject::connect(&window.frameTimer(), &QTimer::timeout, &m_context,
                     [this] { guarded([this] { frameDrawn(); }); });
}

MprisBridge::~MprisBridge() = default;

void MprisBridge::run(const Command& command) {
    guarded([this, &command] { m_window.player().run(command); });
}

int MprisBridge::deviceMode() const {
    return m_window.player().transport().mode();
}

void MprisBridge::raise() {
    if (m_window.isMinimized()) m_window.showNormal();
    m_window.raise();
    m_window.activateWindow();
}

void MprisBridge::quit() {
    m_window.close();
}

void MprisBridge::playPause() {
    if (m_window.player().state().timeEdit.timeEditMode) return;
    run({CommandKind::PauseToggle});
}

void MprisBridge::play() {
    run({CommandKind::Play});
}

void MprisBridge::pause() {
    run({CommandKind::Pause});
}

void MprisBridge::stop() {
    run({CommandKind::Stop});
}

void MprisBridge::next() {
    if (m_window.player().settings().useBgm) run({CommandKind::StepSong, +1});
}

void MprisBridge::previous() {
    if (m_window.player().settings().useBgm) run({CommandKind::StepSong, -1});
}

bool MprisBridge::seekTo(std::int64_t targetMs) {
    Player& player = m_window.player();
    Transport& dev = player.transport();
    SeekRequest r;
    r.playing = dev.mode() == kModePlaying;
    r.isMidi = player.state().isMidi;
    r.positionMs = r.playing ? dev.position() : 0;
    r.lengthMs = dev.length();
    r.targetMs = targetMs;
    const std::optional<int> p = plannedSeek(r);
    if (!p) return false;
    player.run({CommandKind::SeekTo, *p, {}});
    return true;
}

bool MprisBridge::seek(std::int64_t offsetUs) {
    bool moved = false;
    guarded([&] { moved = seekTo(m_window.player().transport().position() + offsetUs / 1000); });
    return moved;
}

bool MprisBridge::setPosition(const std::string& id, std::int64_t positionUs) {
    const MprisSnapshot now = snapshot();
    if (!positionRequestValid(now.trackId, id, positionUs, now.lengthUs)) return false;
    bool moved = false;
    guarded([&] { moved = seekTo(positionUs / 1000); });
    return moved;
}

void MprisBridge::setVolume(double volume) {
    if (!std::isfinite(volume)) return;
    const int percent = static_cast<int>(std::lround(std::clamp(volume, 0.0, 1.0) * 100));
    guarded([&] { m_window.player().run({CommandKind::SetVolume, percent, {}}); });
}

void MprisBridge::openFile(const std::string& path) {
    // Answered at once; the song loads once the caller has its reply.
    QTimer::singleShot(0, &m_context, [this, path] {
        guarded([this, &path] { m_window.dropFiles(path); });
        raise();
        m_service->changed();
    });
}

const std::string& MprisBridge::trackId() const {
    const std::string& song = m_window.player().settings().bgmFile;
    if (m_trackId.empty() || song != m_numberedSong) {
        m_numberedSong = song;
        m_trackId = trackIdFor(++m_songNumber);
    }
    return m_trackId;
}

const std::string& MprisBridge::artUrl() const {
    const std::string& song = m_window.player().settings().bgmFile;
    if (song != m_artSong) {
        m_artSong = song;
        // The song's own pictures, as its load found them.
        const MusicChoice& choice = m_window.player().song().choice;
        const std::vector<std::string> pictures =
            choice.useImages ? loadImageList(choice.imageFolder) : std::vector<std::string>{};
        m_artUrl = pictures.empty() ? std::string()
                                    : QUrl::fromLocalFile(QString::fromStdString(pictures.front()))
                                          .toString(QUrl::FullyEncoded)
                                          .toStdString();
    }
    return m_artUrl;
}

MprisSnapshot MprisBridge::snapshot() const {
    Player& player = m_window.player();
    const Settings& s = player.settings();
    const PlayerState& st = player.state();
    MprisSnapshot snap;
    const bool song = s.useBgm && !s.bgmFile.empty();
    const int mode = deviceMode();
    if (song && mode == kModePlaying)
        snap.status = MprisStatus::Playing;
    else if (song && mode == kModePaused)
        snap.status = MprisStatus::Paused;
    unsigned int percent = 0;
    snap.volume = (getMasterVolume(percent) ? int(percent) : s.volume) / 100.0;
    snap.canGoNext = snap.canGoPrevious = snap.canPlay = snap.canPause = snap.canSeek = song;
    if (!song) return snap;
    snap.trackId = trackId();
    snap.positionUs = std::int64_t(player.transport().position()) * 1000;
    snap.lengthUs = std::int64_t(st.songLength) * 1000;
    snap.url = QUrl::fromLocalFile(QString::fromStdString(s.bgmFile))
                   .toString(QUrl::FullyEncoded)
                   .toStdString();
    snap.title = titleFromFileName(s.bgmFile);
    snap.artUrl = artUrl();
    if (st.currentLine >= 0 && std::size_t(st.currentLine) < st.lyricLines.size())
        snap.lyricLine = utf8OrSjisText(plainTextForm(st.lyricLines[st.currentLine])).toStdString();
    return snap;
}

MprisBridge::Seen MprisBridge::seenNow() const {
    const Player& player = m_window.player();
    return Seen{player.settings().bgmFile, deviceMode(), player.state().currentLine,
                player.state().statusMessage};
}

void MprisBridge::frameDrawn() {
    Seen now = seenNow();
    if (now == m_seen) return;
    m_seen = std::move(now);
    m_service->changed();
}

}  // namespace orba
