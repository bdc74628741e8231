#include "player/player.h"

#include <algorithm>
#include <stdexcept>

#include "authoring/lyricsave.h"
#include "authoring/timeedit.h"
#include "effects/imagelist.h"
#include "lyrics/lyricload.h"
#include "lyrics/sources/lyricsource.h"
#include "platform/clock.h"
#include "platform/files.h"
#include "platform/profilefile.h"
#include "playback/mastervolume.h"
#include "playback/mediadevice.h"
#include "playback/musictaglyrics.h"
#include "playback/waituntilplaying.h"
#include "player/foldersongs.h"
#include "resources/artwork.h"
#include "settings/settingsstore.h"

namespace orba {

std::string firstMp3In(const std::string& folder) {
    std::vector<std::string> names;
    if (!listFiles(folder, "*.mp3", names) || names.empty()) return {};
    return *std::min_element(names.begin(), names.end());
}

Player::Player(PlayerHost& host)
    : m_host(host), m_image1(mascotPicture()), m_device(std::make_unique<MediaDevice>()) {}

Player::~Player() = default;

MediaDevice& Player::device() {
    return *m_device;
}

void Player::loadSettings() {
    m_settings = readSettings(ProfileFile(settingsFilePath()));

    if (m_settings.stayOnTop && !m_host.stayOnTopChecked()) m_host.T1Click();
    if (m_settings.folderRepeat && !m_host.folderRepeatChecked()) m_host.N5Click();

    if (!fileOrFolderExists(m_settings.bgmFile)) m_settings.useBgm = false;
    if (!fileOrFolderExists(m_settings.messageFile)) m_settings.useMessage = false;
    if (!fileOrFolderExists(m_settings.imageFolder)) m_settings.useImages = false;

    if (m_settings.useBgm) applyPerSongFile(m_settings.bgmFile, m_settings);

    // A picture that exists but cannot be read ends the load here: the error
    // box names it, and the volume step below does not run.
    const std::string mascot = mascotPicturePath(m_settings.imageFolder);
    if (isRegularFile(mascot) && !m_image1.loadFromFile(mascot))
        throw std::runtime_error(mascot + " は有効な画像ではありません");

    if (m_settings.setVolume) imposeConfiguredVolume(m_settings.volume, m_state.savedVolume);
}

void Player::saveWindowState() {
    m_settings.stayOnTop = m_host.stayOnTopChecked();
    ProfileFile file(settingsFilePath());
    writeWindowState(file, m_settings);
}

void Player::restoreVolume() {
    if (m_settings.setVolume) restoreSavedVolume(m_state.savedVolume);
}

bool Player::openMusicFile(const std::string& path) {
    if (!hasMusicExtension(path) || !fileOrFolderExists(path)) return false;
    m_host.chooseCompanions(path);
    m_host.commitSettingsDialog();
    loadSettings();
    loadSong();
    return true;
}

void Player::loadSong() {
    m_host.setTimerEnabled(false);
    Settings& s = m_settings;
    PlayerState& st = m_state;
    st.statusMessage = kBanner;
    st.statusTime = 15000;

    // Lyric files beside the song, lyrics inside it, or the chosen file.
    LyricSource source = findLyricSource(s.useBgm ? s.bgmFile : std::string(), s.messageFile,
                                         s.useMessage, readMusicTagLyrics);
    s.useMessage = source.found;
    if (source.found) s.messageFile = source.path;
    std::vector<std::string> lines = std::move(source.lines);

    if (s.useImages && !s.imageFolder.empty()) st.imageFiles = loadImageList(s.imageFolder);

    MediaDevice& dev = device();
    if (dev.mode() == kModePlaying) {
        dev.stop();
        dev.close();
    }
    st.currentLine = -1;
    st.songTime = 0;
    m_pictures.songLoaded();
    m_frame.songLoaded();
    st.lineTimes.clear();

    // Ogg needs no registration: the device picks decoders by content.
    st.isMidi = wildcardMatch(fileNamePart(s.bgmFile), "*.mid") ||
               wildcardMatch(fileNamePart(s.bgmFile), "*.kar");
    if (s.useBgm && !s.bgmFile.empty()) {
        m_host.setCaption(kCaptionPrefix + fileNamePart(s.bgmFile));
        try {
            dev.open(s.bgmFile);
        } catch (const std::exception&) {
            // The device's error code and text tell what happened.
        }
        if (dev.lastError() != 0) {
            s.useBgm = false;
            st.statusMessage = dev.errorText();
        } else {
            dev.setTimeFormatMilliseconds();
            st.songLength = dev.length();
        }
    }

    st.timeRatio = 1.0f;
    st.tagType = 0;
    LyricLoadInput in;
    in.useMessage = s.useMessage;
    in.useBgm = s.useBgm;
    in.songLength = st.songLength;
    in.timeEditMode = st.timeEditMode;
    in.encoding = source.form.encoding;
    in.tagType = source.tagType;
    st.lyricForm = std::move(source.form);
    // A time ratio that is not a number stops the load here, timer off.
    LyricText text = prepareLyrics(std::move(lines), in);
    st.lyricLines = std::move(text.lyricLines);
    st.lineTimes = std::move(text.lineTimes);
    st.tagType = text.tagType;
    st.timeRatio = static_cast<float>(text.timeRatio);
    if (st.timeEditMode) {
        s.fontSizePercent = 100;
        s.textTiming = 0;
    }

    st.currentLine = -1;
    if (s.useBgm) {
        dev.play();
        if (st.isMidi) {
            orba::waitUntilPlaying(dev);
            st.songTime = 0;
        }
    }
    st.lastTick = 0;
    m_host.setTimerEnabled(true);
}

void Player::openFirstSong(const std::string& commandLineFile, const std::string& programFolder) {
    if (!commandLineFile.empty()) {
        openMusicFile(commandLineFile);
        return;
    }
    if (std::string mp3 = firstMp3In(programFolder); !mp3.empty()) {
        openMusicFile(programFolder + mp3);
        return;
    }
    loadSong();
}

bool Player::frame(Bitmap& back, int cw, int ch, unsigned now) {
    return m_frame.tick(back, cw, ch, now, m_settings, m_state, *this);
}

void Player::switchTimeEditMode(bool on) {
    setTimeEditMode(m_state, on);
    loadSong();
}

bool Player::timeEditKeysActive() const {
    return m_state.timeEditMode && m_settings.useBgm && m_settings.useMessage;
}

int Player::tapTime() {
    if (!m_state.isMidi) return device().position();
    if (m_state.lastTick == 0 || device().mode() != kModePlaying) return m_state.songTime;
    return m_state.songTime + static_cast<int>(tickCount() - m_state.lastTick);
}

void Player::timeEditSetAndNext() {
    if (timeEditKeysActive()) setAndNext(m_state, tapTime());
}

void Player::timeEditBackAndRewind() {
    if (!timeEditKeysActive()) return;
    if (std::optional<int> position = backAndRewind(m_state)) {
        MediaDevice& dev = device();
        dev.setStartPosition(*position);
        dev.stop();
        dev.play();
    }
}

void Player::timeEditSave() {
    if (!timeEditKeysActive()) return;
    m_settings.messageFile = saveLyricSource(m_settings.messageFile, m_settings.bgmFile,
                                             m_state.lyricLines, m_state.lyricForm);
    m_host.beep();
}

void Player::updateCursor() {
    m_host.updateCursor();
}

int Player::playbackPosition() {
    const int position = m_device->position();
    showPlaybackError();
    return position;
}

int Player::playbackMode() {
    const int mode = m_device->mode();
    showPlaybackError();
    return mode;
}

void Player::showPlaybackError() {
    // An error that ended the song is shown once, where the user looks.
    if (std::string error = m_device->takePlaybackError(); !error.empty())
        m_state.statusMessage = std::move(error);
}

void Player::drawPictures(Bitmap& back, const FrameValues& f, const Settings& s,
                          const PlayerState& st) {
    m_pictures.draw(back, f, s, st, m_image1);
}

void Player::endOfSong(PlayerState& st) {
    MediaDevice& dev = device();
    switch (orba::endOfSong(m_settings, st)) {
        case SongEndAction::RestartLyrics:
            return;
        case SongEndAction::NextSong:
            m_host.setTimerEnabled(false);
            dev.stop();
            m_settings.bgmFile =
                folderSong(m_settings.bgmFile, +1, m_settings.bgmFile, st.folderSongs);
            // A next song whose music fails keeps the loader's error in view.
            if (openMusicFile(m_settings.bgmFile) && m_settings.useBgm)
                st.statusMessage = nextSongMessage(m_settings.bgmFile);
            return;
        case SongEndAction::Replay:
            dev.stop();
            dev.seek(0);
            dev.play();
            return;
    }
}

void Player::keyDown(VirtualKey key) {
    orba::keyDown(key, m_settings, m_state, *this);
}

void Player::toggleFullScreen() {
    m_host.toggleFullScreen();
}

bool Player::devicePlaying() {
    return device().mode() == kModePlaying;
}

bool Player::devicePaused() {
    return device().mode() == kModePaused;
}

void Player::togglePause() {
    device().pauseToggle();
}

int Player::devicePosition() {
    return device().position();
}

int Player::deviceLength() {
    return device().length();
}

void Player::stopDevice() {
    device().stop();
}

void Player::setStartPosition(int ms) {
    device().setStartPosition(ms);
}

void Player::playDevice() {
    device().play();
}

void Player::waitUntilPlaying() {
    orba::waitUntilPlaying(device());
}

void Player::stepSong(int offset) {
    m_host.setTimerEnabled(false);
    device().stop();
    m_settings.bgmFile =
        folderSong(m_settings.bgmFile, offset, m_settings.bgmFile, m_state.folderSongs);
    openMusicFile(m_settings.bgmFile);
}

std::string Player::playList() {
    folderSong(m_settings.bgmFile, 0, m_settings.bgmFile, m_state.folderSongs);
    return playListText(m_state.folderSongs, m_settings.bgmFile);
}

void Player::drawFrame() {
    m_host.drawFrame();
}

bool Player::getMasterVolume(unsigned int& percent) {
    return orba::getMasterVolume(percent);
}

void Player::setMasterVolume(unsigned int percent) {
    orba::setMasterVolume(percent);
}

std::string Player::savePerSongSettings() {
    writePerSongFile(m_settings.bgmFile, m_settings);
    return perSongFilePath(m_settings.bgmFile);
}

std::string Player::writeTextExport(TextExport kind) {
    return orba::writeTextExport(kind, m_state.lyricLines, m_settings.bgmFile, m_state.lyricForm);
}

void Player::timeEditKey(int code) {
    if (code == vk::Space)
        timeEditSetAndNext();
    else if (code == vk::Back)
        timeEditBackAndRewind();
    else if (code == vk::F6)
        timeEditSave();
}

}  // namespace orba
