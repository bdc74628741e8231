// The frames of an export from the headless song simulation, and the song an
// export is asked for: a music file, loaded as the window opens it (its
// lyrics, pictures and per-song file found as the window finds them), or a
// lyric file alone.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "export/exportframesource.h"
#include "export/exportjob.h"
#include "settings/settings.h"
#include "tools/headlessplayer.h"

namespace orba {

class SimulationFrameSource : public ExportFrameSource {
public:
    // `song` is a music file or a lyric file alone, played with the settings
    // of the settings file. Throws ToolInputError when it cannot be loaded.
    explicit SimulationFrameSource(const std::string& song);

    // The music's length, or for a lyric file alone the time of its end line.
    int songLength() const { return m_length; }
    // What the export sounds: the music (decoded, or MIDI through the
    // synthesizer), else silence.
    const ExportAudio& audio() const { return m_audio; }
    // The files the export reads, which it must never write over.
    std::vector<std::string> inputs() const;

    // Runs the simulated frames up to the last one at or before `songMs`,
    // drawing each, so that the picture is the one --render gives there.
    void drawFrame(int songMs, Bitmap& back) override;

private:
    std::string m_song;
    HeadlessPlayer m_sim;
    int m_length = 0;
    ExportAudio m_audio;
};

}  // namespace orba
