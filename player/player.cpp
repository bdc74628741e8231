#include "player/player.h"

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <stdexcept>

#include "authoring/keycommands.h"
#include "authoring/lyricsave.h"
#include "authoring/singercontrols.h"
#include "authoring/textexport.h"
#include "authoring/timeedit.h"
#include "desktop/installlayout.h"
#include "effects/imagelist.h"
#include "effects/seasondate.h"
#include "lyrics/lyricload.h"
#include "lyrics/sources/lyricsource.h"
#include "lyrics/textdrawing.h"
#include "platform/clock.h"
#include "platform/files.h"
#include "platform/profilefile.h"
#include "playback/cdggraphics.h"
#include "playback/mastervolume.h"
#include "playback/matroskalyrics.h"
#include "playback/mediadevice.h"
#include "playback/videoframes.h"
#include "playback/waituntilplaying.h"
#include "player/foldersongs.h"
#include "player/frameviews.h"
#include "player/scoringstate.h"
#include "player/songresolution.h"
#include "resources/artwork.h"
#include "settings/settingsstore.h"

namespace orba {

namespace {

constexpr int kQuickReferenceTime = 10000;
constexpr int kBannerTime = 15000;
constexpr int kVolumeStep = 5;
const char* const kNoMixerText = "(no mixer: the volume is unchanged)";
const char* const kExportBusyText = "動画の書き出し中です";

}  // namespace

std::string firstMp3In(const std::string& folder) {
    std::vector<std::string> names;
    if (!listFiles(folder, "*.mp3", names) || names.empty()) return {};
    return *std::min_element(names.begin(), names.end());
}

Player::~Player() = default;

Player::Player(PlayerHost& host, std::unique_ptr<Transport> transport, PlayerOptions options)
    : m_host(host),
      m_transport(transport ? std::move(transport) : std::make_unique<MediaDevice>()),
      m_options(options),
      m_image1(mascotPicture()) {
    m_dialog = readDialogValues(ProfileFile(settingsFilePath()));
    m_state.seasonMode = seasonModeFor(todayMmdd());
}

void Player::commitDialogValues() {
    ProfileFile file(settingsFilePath());
    writeDialogValues(file, m_dialog);
}

void Player::loadSettings() {
    loadSettingsFrom(ProfileFile(settingsFilePath()));
}

void Player::loadSettingsFrom(const ProfileFile& file) {
    m_settings = readSettings(file);
    m_videoSettings = readVideoSettings(file);
    m_scoreSettings = readScoreSettings(file);
    m_host.checkMenus(m_settings.stayOnTop, m_settings.folderRepeat);

    if (!fileOrFolderExists(m_settings.bgmFile)) m_settings.useBgm = false;
    if (!fileOrFolderExists(m_settings.messageFile)) m_settings.useMessage = false;
    if (!fileOrFolderExists(m_settings.imageFolder)) m_settings.useImages = false;

    if (m_settings.useBgm) noteLoadError(applyPerSongFile(m_settings.bgmFile, m_settings));
    loadMascot();

    if (m_settings.setVolume && !m_options.inspecting)
        imposeConfiguredVolume(m_settings.volume, m_state.savedVolume);
}

void Player::loadMascot() {
    const std::string mascot = mascotPicturePath(m_settings.imageFolder);
    // A picture that cannot be read leaves the built-in mascot bouncing; the
    // song still plays, and the next song load names the file.
    if (isRegularFile(mascot) && !m_image1.loadFromFile(mascot)) {
        m_image1 = mascotPicture();
        noteLoadError(mascot + " は有効な画像ではありません");
    }
}

void Player::noteLoadError(std::string text) {
    if (!text.empty()) m_loadErrors.push_back(std::move(text));
}

void Player::saveWindowState() {
    if (m_options.inspecting) return;
    m_settings.stayOnTop = m_host.stayOnTopChecked();
    ProfileFile file(settingsFilePath());
    writeWindowState(file, m_settings);
}

void Player::restoreVolume() {
    if (m_settings.setVolume && !m_options.inspecting) restoreSavedVolume(m_state.savedVolume);
}

bool Player::openMusicFile(const std::string& path) {
    if (!opensAsSong(path) || !fileOrFolderExists(path)) return false;
    return openChosenSong(path);
}

bool Player::openChosenSong(const std::string& path) {
    const SongOnDisk song = lookAtSong(path);
    if (!song.refusal.empty()) {
        // The song playing goes on; the status line says why the other won't.
        postStatus(fileNamePart(path) + ": " + song.refusal);
        return false;
    }
    m_dialog.music = chooseSong(song, m_dialog.music).choice;
    if (m_options.inspecting) {
        // The settings as the OK writer would leave them, without writing.
        ProfileFile file(settingsFilePath());
        storeDialogValues(file, m_dialog);
        loadSettingsFrom(file);
    } else {
        commitDialogValues();
        loadSettings();
    }
    loadSong();
    return true;
}

void Player::loadSong() {
    m_upNext.reset();
    m_scoring.reset();
    m_host.setTimerEnabled(false);
    Settings& s = m_settings;
    PlayerState& st = m_state;
    postStatus(kBanner, kBannerTime);

    // Lyric files beside the song, lyrics inside it, or the chosen file.
    m_song = resolveSong(lookAtSong(s.useBgm ? s.bgmFile : std::string(),
                                    s.useMessage ? s.messageFile : std::string()),
                         musicChoiceOf(s), !m_options.lyricsGiven);
    openGraphics();
    openVideo();
    LyricSource source = readFirstLyrics(m_song.lyrics, musicTagReader(readMatroskaLyrics));
    s.useMessage = source.found;
    if (source.found) s.messageFile = source.path;
    m_lyricNote = source.note;
    if (!source.note.empty()) noteLoadError(fileNamePart(source.path) + ": " + source.note);
    m_loadProblems = std::move(m_loadErrors);
    m_loadErrors.clear();
    if (!m_loadProblems.empty()) {
        // One line of the status text each.
        std::string text;
        for (const std::string& problem : m_loadProblems)
            text += (text.empty() ? "" : "|") + problem;
        postStatus(std::move(text));
    }
    std::vector<std::string> lines = std::move(source.lines);

    if (s.useImages && !s.imageFolder.empty()) st.imageFiles = loadImageList(s.imageFolder);

    Transport& dev = *m_transport;
    if (dev.mode() == kModePlaying) {
        dev.stop();
        dev.close();
    }
    st.currentLine = -1;
    st.songTime = 0;
    m_pictures.songLoaded();
    m_frame.songLoaded();
    // The first picture decodes while the music opens.
    std::pair<int, int> size = m_host.clientSize();
    if (size.first <= 0) size = {m_frame.values().cw, m_frame.values().ch};
    m_pictures.decodeFirstPictureAhead(st.imageFiles, s, size.first, size.second);
    // The previous song's lines go now: whatever stops this load, they must
    // never be shown, exported or saved under this song's names.
    st.lineTimes.clear();
    st.lyricLines.clear();
    st.sungNotes.clear();

    // Ogg needs no registration: the device picks decoders by content.
    st.isMidi = false;
    // A song starts with what its per-song file keeps for the singer, else
    // neutral; the device takes them before it opens the song.
    st.singer = s.useBgm && !s.bgmFile.empty() ? readPerSongSinger(s.bgmFile) : SingerControls{};
    if (const std::optional<QueueEntry>& entry = m_queue.now(); entry && entry->path == s.bgmFile)
        st.singer = singerForEntry(st.singer, *entry);
    st.tempoCarry = 0;
    applySinger();
    if (s.useBgm && !s.bgmFile.empty()) {
        m_host.setCaption(kCaptionPrefix + fileNamePart(s.bgmFile));
        try {
            dev.open(s.bgmFile);
        } catch (const MediaDeviceError&) {
            // The device's error code and text tell what happened.
        }
        if (dev.lastError() != 0) {
            s.useBgm = false;
            postStatus(dev.errorText());
        } else {
            st.songLength = dev.length();
            // MIDI or not is what the device made of the file's content.
            st.isMidi = dev.playsMidi();
            applySinger();
        }
    }

    st.timeRatio = 1.0f;
    st.tagType = 0;
    LyricLoadInput in;
    in.useMessage = s.useMessage;
    in.useBgm = s.useBgm;
    in.songLength = st.songLength;
    in.timeEditMode = st.timeEdit.timeEditMode;
    in.encoding = source.form.encoding;
    in.tagType = source.tagType;
    in.file = source.path;
    st.lyricForm = std::move(source.form);
    LyricText text;
    try {
        text = prepareLyrics(std::move(lines), in);
    } catch (const ConversionError&) {
        // A time ratio that is not a number stops the load here, timer off,
        // with no lyrics in use.
        s.useMessage = false;
        throw;
    }
    st.lyricLines = std::move(text.lyricLines);
    st.sungNotes = std::move(source.notes);
    st.lineTimes = std::move(text.lineTimes);
    st.tagType = text.tagType;
    st.timeRatio = static_cast<float>(text.timeRatio);
    if (st.timeEdit.timeEditMode) {
        s.fontSizePercent = 100;
        s.textTiming = 0;
    }

    st.currentLine = -1;
    if (s.useBgm) {
        dev.play();
        if (st.isMidi) {
            waitUntilPlaying(dev);
            st.songTime = 0;
        }
    }
    st.lastTick = 0;
    if (st.scoring) startScoring(0, true);
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
    if (openMusicFile(installedDemoSong(programFolder))) return;
    loadSong();
}

void Player::warmLyricFont() {
    const int clientWidth = m_host.clientSize().first;
    if (clientWidth <= 0) return;
    Bitmap scratch(1, 1);
    Canvas& canvas = scratch.canvas();
    setLyricFont(canvas, m_settings, TextEncoding::Utf8);
    canvas.font().size = currentLineFontSize(m_settings.fontSizePercent, clientWidth / 48);
    canvas.textOut(0, 0, "\u3042");  // a hiragana, as nearly every lyric line holds
}

FrameOutcome Player::frame(Bitmap& back, int cw, int ch, unsigned now) {
    return runFrame(&back, cw, ch, now);
}

FrameOutcome Player::clockFrame(unsigned now) {
    return runFrame(nullptr, 0, 0, now);
}

FrameOutcome Player::runFrame(Bitmap* back, int cw, int ch, unsigned now) {
    FrameOutcome out;
    if (back && !m_frame.beginFrame(*back, cw, ch)) return out;
    const std::optional<int> dt = frameClock(now, m_state.lastTick);
    if (!dt) return out;
    m_frame.clockTicked(*dt, now);
    if (back) {
        m_host.updateCursor();
        if (m_upNext || (!m_graphics && !m_video))
            m_pictures.draw(*back, m_frame.values(), m_settings, pictureViewOf(m_state), m_image1);
    }
    out.drawn = true;
    if (m_upNext) {
        upNextFrame(back, *dt);
        return out;
    }
    const LyricClock clock = clockStep(m_settings, m_state, *dt, readMusic());
    out.songEnded = clock.songEnded;
    if (clock.songEnded && !m_options.inspecting) m_queued.push_back({CommandKind::SongEnded});
    out.lyrics = m_frame.lyricStep(m_settings, lyricViewOf(m_state), clock.lyricTime);
    m_state.currentLine = out.lyrics.currentLine;
    scoreFrame(out.songEnded);
    if (back) {
        if (m_graphics) drawGraphics(*back);
        if (m_video) drawVideo(*back);
        LyricView view = lyricViewOf(m_state);
        view.lyricsInGraphics = m_graphics != nullptr;
        std::string nextUp;
        // The play order is worked out only in a song's last seconds.
        if (!m_queue.paused() && m_state.songTime >= m_state.songLength - kNextUpLeadMs) {
            const std::vector<QueueEntry> upcoming = m_queue.upcoming();
            if (!upcoming.empty())
                nextUp = nextUpText(upcoming.front(), m_state.songTime, m_state.songLength);
        }
        view.nextUp = nextUp;
        applyLyricsDrawn(m_state, m_frame.drawLyrics(*back, m_settings, view, out.lyrics));
        drawScoring(*back, *dt);
        drawPartyCode(*back);
    }
    return out;
}

MusicReading Player::readMusic() {
    MusicReading music;
    if (clockReadsPosition(m_settings, m_state)) {
        music.position = m_transport->position();
        showPlaybackError();
    } else if (clockReadsMode(m_settings, m_state)) {
        music.mode = m_transport->mode();
        showPlaybackError();
    }
    return music;
}

void Player::showPlaybackError() {
    // An error that ended the song is shown once, where the user looks.
    if (std::string error = m_transport->takePlaybackError(); !error.empty())
        postStatus(std::move(error));
}

void Player::afterFrame() {
    // A command may run a frame of its own (the play list draws one at
    // once); whatever that frame queues waits for the next round.
    std::vector<Command> queued;
    queued.swap(m_queued);
    for (const Command& c : queued) run(c);
}

void Player::carryOutSongEnd() {
    Transport& dev = *m_transport;
    const SongEndAction action = endOfSong(m_settings, m_state);
    // The queue goes first; with nothing to take, or paused, the song ends
    // as it would without one.
    if (playFromQueue(m_queue.next())) return;
    switch (action) {
        case SongEndAction::RestartLyrics:
            return;
        case SongEndAction::NextSong:
            nextSong();
            return;
        case SongEndAction::Replay:
            dev.stop();
            dev.seek(0);
            dev.play();
            return;
    }
}

void Player::nextSong() {
    m_host.setTimerEnabled(false);
    m_transport->stop();
    const std::string previous = m_settings.bgmFile;
    const std::string next =
        folderSong(m_settings.bgmFile, +1, m_settings.bgmFile, m_state.folderSongs);
    m_settings.bgmFile = next;
    try {
        // A next song whose music fails keeps the loader's error in view.
        if (openMusicFile(next)) {
            if (m_settings.useBgm) postStatus(nextSongMessage(m_settings.bgmFile));
            return;
        }
        // Gone since the folder was listed: the next end moves past it.
        postStatus(next.empty() ? std::string("No music in the folder")
                                : fileNamePart(next) + " が見つかりません");
    } catch (const ProfileWriteError& e) {
        // The settings file refused the new song: this one plays again.
        postStatus(e.what());
        m_settings.bgmFile = previous;
        m_transport->seek(0);
        m_transport->play();
    }
    m_host.setTimerEnabled(true);
}

void Player::postStatus(std::string text, std::optional<int> ms) {
    m_state.statusMessage = std::move(text);
    if (ms) m_state.statusTime = *ms;
}

bool Player::refusedWhileExporting(const Command& c) {
    if (!m_export) return false;
    switch (c.kind) {
        // What neither changes the song nor draws a frame may go on.
        case CommandKind::None:
        case CommandKind::FullScreen:
        case CommandKind::QuickReference:
        case CommandKind::Volume:
        case CommandKind::SetVolume:
        case CommandKind::SetFolderPlay:
        case CommandKind::EndExport:
        case CommandKind::QueueSong:
        case CommandKind::RemoveQueueEntry:
        case CommandKind::MoveQueueEntry:
        case CommandKind::PauseQueue:
        case CommandKind::PartyCode:
            return false;
        default:
            postStatus(kExportBusyText);
            return true;
    }
}

void Player::run(const Command& c) {
    // What a queue command did is its own: a command refused, or one that
    // is no queue command, leaves no outcome of an earlier one behind.
    m_queueOutcome = {};
    if (refusedWhileExporting(c)) return;
    switch (c.kind) {
        case CommandKind::None:
            return;
        case CommandKind::FullScreen:
            m_host.toggleFullScreen();
            return;
        case CommandKind::QuickReference:
            postStatus(quickReferenceText(), kQuickReferenceTime);
            return;
        case CommandKind::LookToggle:
            toggleLook(static_cast<char>(c.value));
            return;
        case CommandKind::PauseToggle:
            // Between songs Space starts the next singer's song at once.
            if (m_upNext) {
                startUpNext();
                return;
            }
            togglePause();
            return;
        case CommandKind::StepSong:
            stepSong(c.value);
            showPlayList();
            return;
        case CommandKind::PlayList:
            showPlayList();
            return;
        case CommandKind::Seek:
            if (m_transport->mode() == kModePlaying) seek(c.value > 0);
            return;
        case CommandKind::Volume:
            stepVolume(c.value > 0);
            return;
        case CommandKind::SavePerSong:
            writePerSongFile(m_settings.bgmFile, m_settings, m_state.singer);
            postStatus(saveMessage(perSongFilePath(m_settings.bgmFile)));
            return;
        case CommandKind::TextExport:
            writeTextExport(c.value == 0 ? TextExport::Plain : TextExport::Safe);
            return;
        case CommandKind::Restart:
            m_state.timeEdit.timeEditMode = false;
            loadSong();
            return;
        case CommandKind::TimeEditTap:
            timeEditSetAndNext();
            return;
        case CommandKind::TimeEditBack:
            timeEditBackAndRewind();
            return;
        case CommandKind::TimeEditSave:
            timeEditSave();
            return;
        case CommandKind::SetTimeEditMode:
            switchTimeEditMode(c.value != 0);
            return;
        case CommandKind::OpenSong:
            saveWindowState();
            openChosenSong(c.path);
            return;
        case CommandKind::DropSong:
            saveWindowState();
            openMusicFile(c.path);
            return;
        case CommandKind::SeekTo:
            seekTo(c.value);
            return;
        case CommandKind::SetVolume:
            showVolume(c.value, setMasterVolume(unsigned(c.value)));
            return;
        case CommandKind::SingerKey:
            changeSinger(SingerControl::Key, stepKey(m_state.singer, c.value));
            return;
        case CommandKind::SingerTempo:
            changeSinger(SingerControl::Tempo, stepTempo(m_state.singer, c.value));
            return;
        case CommandKind::VocalCut:
            // A MIDI song has no recorded voice: it says so and stays as it is.
            changeSinger(SingerControl::VocalCut,
                         m_state.isMidi ? m_state.singer : toggleVocalCut(m_state.singer));
            return;
        case CommandKind::MelodyMute:
            changeSinger(SingerControl::MelodyMute, nextMelodyMute(m_state.singer));
            return;
        case CommandKind::LyricOffset:
            changeSinger(SingerControl::LyricOffset,
                         stepLyricOffset(m_state.singer, c.value,
                                         std::abs(c.value) == kLyricOffsetFineStep));
            return;
        case CommandKind::SingerReset:
            changeSinger(SingerControl::Reset, resetSinger());
            return;
        case CommandKind::SongEnded:
            carryOutSongEnd();
            return;
        case CommandKind::Play:
            playSong();
            return;
        case CommandKind::Pause:
            if (m_transport->mode() == kModePlaying) togglePause();
            return;
        case CommandKind::Stop:
            stopSong();
            return;
        case CommandKind::ApplySettings:
            applySettings();
            return;
        case CommandKind::SetFolderPlay:
            m_settings.folderRepeat = c.value != 0;
            return;
        case CommandKind::OpenFirstSong:
            if (c.value != 0) setTimeEditMode(m_state.timeEdit, true);
            openFirstSong(c.path, programFolder());
            return;
        case CommandKind::BeginExport:
            beginExport();
            return;
        case CommandKind::EndExport:
            endExport();
            return;
        case CommandKind::QueueSong:
        case CommandKind::RemoveQueueEntry:
        case CommandKind::MoveQueueEntry:
        case CommandKind::SkipQueueEntry:
        case CommandKind::PauseQueue:
        case CommandKind::StartUpNext:
        case CommandKind::PartyCode:
            runPartyCommand(c);
            return;
        case CommandKind::ScoreToggle:
            toggleScoring();
            return;
    }
}

void Player::playSong() {
    if (!m_settings.useBgm) return;
    Transport& dev = *m_transport;
    const int mode = dev.mode();
    if (mode == kModePaused) {
        togglePause();
    } else if (mode == kModeStopped) {
        if (playFrom(std::nullopt)) postStatus("PLAYING");
    } else if (mode != kModePlaying) {
        loadSong();  // nothing open: the song starts again from its load
    }
}

void Player::stopSong() {
    if (!m_settings.useBgm) return;
    Transport& dev = *m_transport;
    const int mode = dev.mode();
    if (mode != kModePlaying && mode != kModePaused && mode != kModeStopped) return;
    if (!playTransport([&] { dev.pauseAt(0); })) return;
    m_state.songTime = 0;
    m_state.tempoCarry = 0;
    m_state.currentLine = -1;
    m_state.lastTick = 0;
    postStatus("PAUSE");
}

void Player::applySettings() {
    const std::string oldBgm = m_settings.bgmFile;
    const std::string oldMessage = m_settings.messageFile;
    loadSettings();
    if (m_settings.bgmFile != oldBgm || m_settings.messageFile != oldMessage) loadSong();
}

void Player::beginExport() {
    Transport& dev = *m_transport;
    ExportPause pause;
    pause.song = m_settings.bgmFile;
    pause.musicWasPlaying = m_settings.useBgm && dev.mode() == kModePlaying;
    if (pause.musicWasPlaying) dev.pauseToggle();
    m_host.setTimerEnabled(false);
    m_export = pause;
}

void Player::endExport() {
    if (!m_export) return;
    const ExportPause pause = *m_export;
    m_export.reset();
    // Only the song that was paused for the export, and only while it still
    // stands paused, is played on.
    Transport& dev = *m_transport;
    if (pause.musicWasPlaying && pause.song == m_settings.bgmFile && dev.mode() == kModePaused)
        dev.pauseToggle();
    // The frame clock starts afresh rather than counting the pause.
    m_state.lastTick = 0;
    m_host.setTimerEnabled(true);
}

void Player::changeSinger(SingerControl control, const SingerControls& singer) {
    m_state.singer = singer;
    applySinger();
    postStatus(singerMessage(control, m_state.singer, m_state.isMidi));
}

void Player::applySinger() {
    Transport& dev = *m_transport;
    const SingerControls& c = m_state.singer;
    dev.setKey(c.key);
    dev.setTempo(c.tempo);
    dev.setVocalCut(c.vocalCut && !m_state.isMidi);
    dev.setMelodyMute(m_state.isMidi ? c.melodyMute : 0);
}

void Player::togglePause() {
    Transport& dev = *m_transport;
    const int mode = dev.mode();
    if (mode != kModePlaying && mode != kModePaused) return;
    dev.pauseToggle();
    postStatus(dev.mode() == kModePlaying ? "PLAYING" : "PAUSE");
}

void Player::stepSong(int offset) {
    m_host.setTimerEnabled(false);
    m_transport->stop();
    m_settings.bgmFile =
        folderSong(m_settings.bgmFile, offset, m_settings.bgmFile, m_state.folderSongs);
    openMusicFile(m_settings.bgmFile);
}

void Player::showPlayList() {
    folderSong(m_settings.bgmFile, 0, m_settings.bgmFile, m_state.folderSongs);
    postStatus(playListText(m_state.folderSongs, m_settings.bgmFile));
    m_host.drawFrame();
}

void Player::seek(bool forward) {
    if (!forward && m_state.isMidi) return;  // a MIDI song cannot be rewound
    Transport& dev = *m_transport;
    const int p = seekTarget(forward, dev.position(), dev.length());
    if (playFrom(p)) postStatus(forward ? "Fastforward!" : "Rewind!");
}

void Player::seekTo(int ms) {
    const bool forward = ms >= m_transport->position();
    if (playFrom(ms)) postStatus(forward ? "Fastforward!" : "Rewind!");
}

bool Player::playFrom(std::optional<int> p) {
    Transport& dev = *m_transport;
    if (!playTransport([&] {
            if (p) {
                dev.stop();
                dev.setStartPosition(*p);
            }
            dev.play();
        }))
        return false;
    if (m_state.isMidi) {
        waitUntilPlaying(dev);
        m_state.songTime = dev.position();
    }
    return true;
}

bool Player::playTransport(const std::function<void()>& commands) {
    Transport& dev = *m_transport;
    try {
        commands();
    } catch (const MediaDeviceError&) {
        // lastError and errorText below say what went wrong.
    }
    if (dev.lastError() == kMediaOk) return true;
    postStatus(dev.errorText());
    return false;
}

void Player::stepVolume(bool up) {
    unsigned int current = 0;
    // Without a readable mixer the keys step from the configured volume.
    const int from = getMasterVolume(current) ? int(current) : m_settings.volume;
    const int v = steppedVolume(from, up ? kVolumeStep : -kVolumeStep);
    showVolume(v, setMasterVolume(unsigned(v)));
}

void Player::showVolume(int percent, bool set) {
    // The value asked for stays on the first line; the second says when
    // the mixer did not take it, so the status never claims a change that
    // did not happen.
    postStatus(set ? volumeMessage(percent) : volumeMessage(percent) + "|" + kNoMixerText);
}

void Player::writeTextExport(TextExport kind) {
    postStatus(saveMessage(
        orba::writeTextExport(kind, m_state.lyricLines, m_settings.bgmFile, m_state.lyricForm)));
}

void Player::toggleLook(char letter) {
    LookFlags look{m_state.debugMode, m_state.orbaObject};
    postStatus(applyLookToggle(letter, m_settings, look));
    m_state.debugMode = look.debugMode;
    m_state.orbaObject = look.orbaObject;
}

void Player::switchTimeEditMode(bool on) {
    setTimeEditMode(m_state.timeEdit, on);
    loadSong();
}

bool Player::timeEditKeysActive() const {
    return m_state.timeEdit.timeEditMode && m_settings.useBgm && m_settings.useMessage;
}

int Player::tapTime() {
    if (!m_state.isMidi) return m_transport->position();
    if (m_state.lastTick == 0 || m_transport->mode() != kModePlaying) return m_state.songTime;
    return m_state.songTime + static_cast<int>(tickCount() - m_state.lastTick);
}

void Player::timeEditSetAndNext() {
    if (timeEditKeysActive())
        setAndNext(m_state.timeEdit, m_state.lyricLines, m_state.lineTimes, tapTime());
}

void Player::timeEditBackAndRewind() {
    if (!timeEditKeysActive()) return;
    PlayerState& st = m_state;
    if (std::optional<Rewind> rewind =
            backAndRewind(st.timeEdit, st.lyricLines, st.lineTimes, st.isMidi, st.currentLine)) {
        st.currentLine = rewind->currentLine;
        Transport& dev = *m_transport;
        dev.setStartPosition(rewind->position);
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

}  // namespace orba
