#include "tools/simulationframesource.h"

#include "lyrics/timevalue.h"
#include "platform/files.h"
#include "player/songresolution.h"

namespace orba {

SimulationFrameSource::SimulationFrameSource(const std::string& song)
    : m_song(song), m_sim(/*lyricsGiven=*/!opensAsSong(song)) {
    if (!isRegularFile(song)) throw ToolInputError("no such file: " + song);
    if (opensAsSong(song)) {
        m_sim.loadMusicFile(song);
        m_length = m_sim.state().songLength;
        // An UltraStar song's audio is the file it names.
        m_audio = {m_sim.state().isMidi ? ExportAudio::Kind::Midi : ExportAudio::Kind::Decoded,
                   m_sim.player().settings().bgmFile};
        return;
    }
    m_sim.loadLyricFile(song, std::nullopt, settingsFromFile());
    const PlayerState& st = m_sim.state();
    if (!st.lineTimes.empty()) m_length = readTimeValue(st.lineTimes.back());
}

std::vector<std::string> SimulationFrameSource::inputs() const {
    std::vector<std::string> files{m_song};
    // An UltraStar song's audio is read too, under its own name.
    if (const Settings& set = m_sim.player().settings();
        set.useBgm && !set.bgmFile.empty() && set.bgmFile != m_song)
        files.push_back(set.bgmFile);
    if (std::string lyrics = m_sim.player().lyricFileRead(); !lyrics.empty() && lyrics != m_song)
        files.push_back(std::move(lyrics));
    return files;
}

void SimulationFrameSource::drawFrame(int songMs, Bitmap& back) {
    const int last = songMs / kSimulatedFrameMs;
    while (m_sim.frame() < last) m_sim.nextDrawnFrame(back, back.width(), back.height());
}

}  // namespace orba
