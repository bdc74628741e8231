#include "tools/songsimulation.h"

#include "effects/imagelist.h"
#include "effects/seasondate.h"
#include "lyrics/lyricload.h"
#include "lyrics/messagefile.h"
#include "platform/files.h"
#include "platform/profilefile.h"
#include "player/player.h"
#include "resources/artwork.h"
#include "settings/settingsstore.h"

namespace orba {

Settings settingsFromFile() {
    return readSettings(ProfileFile(settingsFilePath()));
}

SongSimulation::SongSimulation(const std::string& lyricFile, std::optional<int> songLength,
                               Settings settings)
    : m_settings(std::move(settings)) {
    std::optional<std::vector<std::string>> lines = readMessageFile(lyricFile);
    if (!lines) throw ToolInputError("cannot read the lyric file " + lyricFile);
    m_settings.useMessage = true;
    m_settings.messageFile = lyricFile;
    m_settings.useBgm = songLength.has_value();
    LyricLoadInput in;
    in.useMessage = true;
    in.useBgm = m_settings.useBgm;
    in.songLength = songLength.value_or(0);
    try {
        LyricText text = prepareLyrics(std::move(*lines), in);
        m_state.lyricLines = std::move(text.lyricLines);
        m_state.lineTimes = std::move(text.lineTimes);
        m_state.tagType = text.tagType;
        m_state.timeRatio = static_cast<float>(text.timeRatio);
    } catch (const ConversionError& e) {
        throw ToolInputError(e.what());
    }
    if (m_settings.useImages && !m_settings.imageFolder.empty())
        m_state.imageFiles = loadImageList(m_settings.imageFolder);
    m_state.seasonMode = seasonModeFor(todayMmdd());
    m_mascot = mascotPicture();
    const std::string mascot = mascotPicturePath(m_settings.imageFolder);
    if (isRegularFile(mascot)) m_mascot.loadFromFile(mascot);
    m_state.songLength = songLength.value_or(0);
    m_state.statusMessage = kBanner;
    m_state.statusTime = 15000;
    m_state.currentLine = -1;
    m_state.songTime = 0;
    m_state.lastTick = 0;
}

void SongSimulation::drawPictures(Bitmap& back, const FrameValues& f, const Settings& s,
                                  const PlayerState& st) {
    m_pictures.draw(back, f, s, st, m_mascot);
}

LyricFrame SongSimulation::nextClockFrame() {
    ++m_frame;
    if (!m_loop.frameClock(tickOf(m_frame), m_state)) return {};
    return m_loop.advance(m_settings, m_state, *this);
}

void SongSimulation::nextDrawnFrame(Bitmap& back, int cw, int ch) {
    ++m_frame;
    m_loop.tick(back, cw, ch, tickOf(m_frame), m_settings, m_state, *this);
}

}  // namespace orba
