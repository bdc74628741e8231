// The text furniture around the lyrics: the blue mesh and the black band
// behind them, the debug and time-edit overlay at the bottom, and the status
// message at the top left with its fade.
#pragma once

#include <QString>
#include <string>
#include <vector>

#include "lyrics/lyricview.h"
#include "platform/bitmap.h"
#include "platform/framevalues.h"
#include "settings/settings.h"

namespace orba {

inline constexpr const char* kTimeEditBanner =
    " Time Edit Mode  (  [ESC]:END  [SPACE]:SET&NEXT  [BS]:Back&Rewind  [F6]:SAVE  )";
inline constexpr const char* kDebugBanner = " Debug Mode ";

// Height of the blue mesh, which is also the band the overlay stands on.
int blueMeshHeight(const FrameValues& f);
// Every other row of the bottom band, dark at its top, bright blue below.
void drawBlueMesh(Bitmap& back, const FrameValues& f);

// Top and height of the black band behind the lyrics for a text height of a.
struct Band {
    int top = 0;
    int height = 0;
};
Band textBand(const FrameValues& f, int wipeStyle, int a);
// Hatched (textBack 1) or filled (textBack 2) band in the lyric font's size.
void drawTextBand(Bitmap& back, const FrameValues& f, const Settings& s);

// The frame rate the overlay shows: the mean of the last ten frames.
class FrameRateSampler {
public:
    int add(int dt);

private:
    int m_samples[10] = {};
    int m_ring = 0;
};

// The debug or time-edit overlay for the song `bgmFile`; puts the font's
// face back when done.
void drawOverlay(Bitmap& back, const FrameValues& f, const std::string& bgmFile,
                 const LyricView& in, FrameRateSampler& sampler);

// " TimeRatio=" value: 15 significant digits of the 32-bit ratio.
std::string timeRatioText(float timeRatio);

// The lines of a status text: a "|" separates lines; a trailing one adds none.
std::vector<QString> statusLines(const QString& message);

// Opacity of a status text with `statusTime` ms left: full until the last two
// seconds, then fading.
int statusFade(int statusTime);

// The status message's time after a frame that showed it.
struct StatusCountdown {
    int statusTime = 0;
    bool expired = false;  // the time ran out: the message goes
};

// Shows statusMessage and counts its time down. Every new text gets 5000 ms
// from the first frame that shows it.
class StatusDisplay {
public:
    StatusCountdown draw(Bitmap& back, const FrameValues& f, const Settings& s,
                         const std::string& statusMessage, int statusTime);

private:
    std::string m_shownMessage;
    QString m_text;
    bool m_wide = false;  // holds characters beyond ASCII: drawn in a Japanese face
};

}  // namespace orba
