#include "tools/simulationframesource.h"

#include <cstdio>

#include "lyrics/timevalue.h"
#include "platform/files.h"
#include "playback/mediadevice.h"
#include "player/foldersongs.h"
#include "settings/companions.h"
#include "settings/settingsstore.h"

namespace orba {

namespace {

int musicLength(const std::string& file) {
    MediaDevice device;
    try {
        device.open(file);
        device.setTimeFormatMilliseconds();
        return device.length();
    } catch (const MediaDeviceError&) {
        throw ToolInputError("cannot play " + file + ": " + device.errorText());
    }
}

}  // namespace

ExportSong findExportSong(const std::string& song, Settings settings) {
    if (!isRegularFile(song)) throw ToolInputError("no such file: " + song);
    ExportSong out;
    if (!hasMusicExtension(song)) {
        out.lyricFile = song;
        out.settings = std::move(settings);
        return out;
    }
    MusicChoice before{settings.useBgm,      settings.bgmFile,   settings.useMessage,
                       settings.messageFile, settings.useImages, settings.imageFolder};
    const MusicChoice choice =
        chooseCompanions(before, song, findCompanions(companionPathsFor(song)));
    if (!choice.useMessage || !isRegularFile(choice.messageFile))
        throw ToolInputError("no lyric file beside " + song + " (" +
                             companionPathsFor(song).timedText + " or " +
                             companionPathsFor(song).plainText + ")");
    settings.bgmFile = choice.bgmFile;
    settings.messageFile = choice.messageFile;
    settings.useImages = choice.useImages && isFolder(choice.imageFolder);
    settings.imageFolder = choice.imageFolder;
    if (const std::string note = applyPerSongFile(song, settings); !note.empty())
        std::fprintf(stderr, "orbakaraoke: warning: %s\n", note.c_str());
    out.lyricFile = choice.messageFile;
    out.musicLength = musicLength(song);
    out.audio = {playsAsMidi(song) ? ExportAudio::Kind::Midi : ExportAudio::Kind::Decoded, song};
    out.settings = std::move(settings);
    return out;
}

SimulationFrameSource::SimulationFrameSource(const ExportSong& song) {
    m_sim.loadLyricFile(song.lyricFile, song.musicLength, song.settings);
    const PlayerState& st = m_sim.state();
    if (song.musicLength)
        m_length = *song.musicLength;
    else if (!st.lineTimes.empty())
        m_length = readTimeValue(st.lineTimes.back());
}

void SimulationFrameSource::drawFrame(int songMs, Bitmap& back) {
    const int last = songMs / kSimulatedFrameMs;
    while (m_sim.frame() < last) m_sim.nextDrawnFrame(back, back.width(), back.height());
}

}  // namespace orba
