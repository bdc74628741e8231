// The frames of an export from the headless song simulation, and the song an
// export is asked for: a music file with the lyric file and pictures the
// player would find beside it, or a lyric file alone.
#pragma once

#include <optional>
#include <string>

#include "export/exportframesource.h"
#include "export/exportjob.h"
#include "settings/settings.h"
#include "tools/headlessplayer.h"

namespace orba {

struct ExportSong {
    std::string lyricFile;
    std::optional<int> musicLength;  // none for a lyric file alone
    ExportAudio audio;
    Settings settings;
};

// What exporting `song` draws and sounds, with `settings` as the window has
// them. Throws ToolInputError when the song cannot be exported.
ExportSong findExportSong(const std::string& song, Settings settings);

class SimulationFrameSource : public ExportFrameSource {
public:
    // Throws ToolInputError when the lyric file cannot be loaded.
    explicit SimulationFrameSource(const ExportSong& song);

    // The music's length, or for a lyric file alone the time of its end line.
    int songLength() const { return m_length; }

    // Runs the simulated frames up to the last one at or before `songMs`,
    // drawing each, so that the picture is the one --render gives there.
    void drawFrame(int songMs, Bitmap& back) override;

private:
    HeadlessPlayer m_sim;
    int m_length = 0;
};

}  // namespace orba
