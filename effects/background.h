// The background phase: black, the spinning title banner, and one scene
// (space flight, laser, ripple, or a random rotation of the three).
//
// Each scene places its stars, beams or ripples the first time it is drawn,
// with the client size of that frame, and only moves them afterwards: a
// scene left and resumed goes on where it stopped, and a resize does not
// re-place anything.
#pragma once

#include <array>

#include "platform/bitmap.h"
#include "platform/framevalues.h"
#include "settings/settings.h"

namespace orba {

struct Star {
    int angle = 0;        // degrees 0..359
    double distance = 0;  // 0 up to 57
    int speed = 1;        // 1..3
};

struct Ripple {
    int x = 0;
    int y = 0;
    float radius = 0;  // negative: not started yet
};

// Values of `backgroundType`.
enum Scene { kSceneNone = 0, kSceneRandom = 1, kSceneSpace = 2, kSceneLaser = 3, kSceneRipple = 4 };

// True when the opaque scrolling pictures cover the whole frame, so that
// clearing, the banner and the scene would only be painted over.
bool backgroundSkipped(const Settings& s, bool havePictures);

class BackgroundScenes {
public:
    static constexpr int kBannerWidth = 240;
    static constexpr int kBannerHeight = 46;

    void draw(Bitmap& back, const FrameValues& f, const Settings& s, bool havePictures,
              const Bitmap& banner);

    int activeScene() const { return m_activeScene; }
    int sceneTimer() const { return m_sceneTimer; }
    float bannerOffset() const { return m_bannerOffset; }
    float sweepAngle() const { return m_sweepAngle; }
    const std::array<Star, 300>& stars() const { return m_stars; }
    const std::array<Ripple, 12>& ripples() const { return m_ripples; }

private:
    void drawBanner(Canvas& c, const FrameValues& f, const Bitmap& banner);
    void chooseScene(const FrameValues& f, int backgroundType);
    void drawSpace(Canvas& c, const FrameValues& f);
    void drawLaser(Canvas& c, const FrameValues& f);
    void drawRipples(Canvas& c, const FrameValues& f);
    static Ripple newRipple(int cw, int ch);

    float m_bannerOffset = 0;
    float m_bannerStep = 0;
    bool m_bannerStarted = false;
    int m_activeScene = 0;
    int m_sceneTimer = 0;

    std::array<Star, 300> m_stars{};
    bool m_starsPlaced = false;

    std::array<int, 80> m_beamAngles{};
    bool m_beamsPlaced = false;
    int m_beamPhase = 0;
    float m_sweepAngle = 0;
    float m_originAngle = 0;

    std::array<Ripple, 12> m_ripples{};
    bool m_ripplesPlaced = false;
};

}  // namespace orba
