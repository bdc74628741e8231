#include "tools/headlessplayer.h"

#include <cstdio>

#include "platform/profilefile.h"
#include "playback/mediadevice.h"
#include "player/songresolution.h"
#include "settings/settingsstore.h"

namespace orba {

namespace {

std::unique_ptr<SimulatedTransport> makeTransport(SimulatedTransport*& raw,
                                                  const std::optional<int>& songLength) {
    // Whatever name the settings give the music, its length is the song's.
    auto transport = std::make_unique<SimulatedTransport>(
        [&songLength](const std::string&) { return songLength; });
    raw = transport.get();
    return transport;
}

}  // namespace

std::unique_ptr<QGuiApplication> offscreenApplication() {
    if (QGuiApplication::instance()) return nullptr;
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "orbakaraoke";
    static char* argv[] = {name, nullptr};
    return std::make_unique<QGuiApplication>(argc, argv);
}

Settings settingsFromFile() {
    return readSettings(ProfileFile(settingsFilePath()));
}

HeadlessPlayer::HeadlessPlayer(bool lyricsGiven)
    : m_player(m_host, makeTransport(m_transport, m_songLength), PlayerOptions{true, lyricsGiven}) {
}

void HeadlessPlayer::loadMusicFile(const std::string& musicFile) {
    {
        // An UltraStar song plays the audio it names.
        const SongOnDisk song = lookAtSong(musicFile);
        if (!song.refusal.empty())
            throw ToolInputError("cannot play the song " + musicFile + ": " + song.refusal);
        MediaDevice probe;
        try {
            probe.open(song.musicFile);
        } catch (const MediaDeviceError&) {
            throw ToolInputError("cannot open the music file " + song.musicFile + ": " +
                                 probe.errorText());
        }
        m_songLength = probe.length();
        m_transport->setMidi(probe.playsMidi());
    }
    m_player.loadSettings();
    if (!m_player.openMusicFile(musicFile))
        throw ToolInputError("cannot open the music file " + musicFile);
    // What the window would show on its status line.
    for (const std::string& problem : m_player.loadProblems())
        std::fprintf(stderr, "orbakaraoke: warning: %s\n", problem.c_str());
    m_frame = -1;
    m_ended = false;
}

void HeadlessPlayer::loadLyricFile(const std::string& lyricFile, std::optional<int> songLength,
                                   Settings settings) {
    m_songLength = songLength;
    settings.useMessage = true;
    settings.messageFile = lyricFile;
    settings.useBgm = songLength.has_value();
    m_player.settings() = std::move(settings);
    m_player.loadMascot();
    m_player.state().songLength = songLength.value_or(0);
    // The music stands ready even when the settings name no music file, so
    // the load plays it from 0.
    if (songLength) m_transport->open(m_player.settings().bgmFile);
    m_player.loadSong();
    // The load switches lyrics off when it cannot read them.
    if (!m_player.settings().useMessage) {
        const std::string& why = m_player.lyricNote();
        throw ToolInputError("cannot read the lyric file " + lyricFile + (why.empty() ? "" : ": ") +
                             why);
    }
    m_frame = -1;
    m_ended = false;
}

unsigned HeadlessPlayer::nextTick() {
    ++m_frame;
    if (m_frame > 0) m_transport->advance(kSimulatedFrameMs);
    return 1u + static_cast<unsigned>(m_frame) * kSimulatedFrameMs;
}

LyricFrame HeadlessPlayer::nextClockFrame() {
    const FrameOutcome out = m_player.clockFrame(nextTick());
    m_ended = m_ended || out.songEnded;
    return out.lyrics;
}

void HeadlessPlayer::nextDrawnFrame(Bitmap& back, int cw, int ch) {
    const FrameOutcome out = m_player.frame(back, cw, ch, nextTick());
    m_ended = m_ended || out.songEnded;
}

}  // namespace orba
