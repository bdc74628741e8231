#include "effects/background.h"

#include <algorithm>
#include <cmath>

#include "effects/angles.h"
#include "platform/random.h"

namespace orba {

bool backgroundSkipped(const Settings& s, bool havePictures) {
    // Without pictures nothing would cover the frame: it is then drawn as usual.
    return havePictures && s.useImages && s.imageStyle == 2 && s.imageOpacity == 100 &&
           s.darkTransparency == 0;
}

void BackgroundScenes::draw(Bitmap& back, const FrameValues& f, const Settings& s,
                            bool havePictures, const Bitmap& banner, const Rect& covered) {
    Canvas& c = back.canvas();
    if (!backgroundSkipped(s, havePictures)) {
        c.brush().setColor(0x000000);
        c.clearAround(covered);
        drawBanner(c, f, banner);
        chooseScene(f, s.backgroundType);
        // The pictures paint over what the scene would draw there.
        const CanvasHole hole(c, covered);
        switch (m_activeScene) {
            case kSceneSpace:
                drawSpace(c, f);
                break;
            case kSceneLaser:
                drawLaser(c, f);
                break;
            case kSceneRipple:
                drawRipples(c, f);
                break;
            default:
                break;
        }
    }
    c.brush().setStyle(BrushStyle::Clear);
}

void BackgroundScenes::drawBanner(Canvas& c, const FrameValues& f, const Bitmap& banner) {
    constexpr int bw = kBannerWidth;
    constexpr int bh = kBannerHeight;
    if (!m_bannerStarted) {
        m_bannerStep = static_cast<float>(f.dt) / 30;
        m_bannerStarted = true;
    }
    // Past half the width the left edge lies right of the right edge: mirrored.
    const int left = static_cast<int>(static_cast<float>(f.cw / 2 - bw / 2) + m_bannerOffset);
    const int right = static_cast<int>(static_cast<float>(f.cw / 2 + bw / 2) - m_bannerOffset);
    c.stretchDraw({left, 10, right, 10 + bh}, banner);
    m_bannerOffset += m_bannerStep;
    if (m_bannerOffset < 0) {
        m_bannerOffset = -m_bannerOffset;
        m_bannerStep = static_cast<float>(f.dt) / 30;
    }
    if (m_bannerOffset > bw) {
        m_bannerOffset = 2 * bw - m_bannerOffset;
        m_bannerStep = -static_cast<float>(f.dt) / 30;
    }
}

void BackgroundScenes::chooseScene(const FrameValues& f, int backgroundType) {
    if (backgroundType != kSceneRandom) {
        m_activeScene = backgroundType;
        return;
    }
    if (m_sceneTimer > 5000) m_sceneTimer = 0;
    if (m_sceneTimer == 0) {
        int r = m_activeScene;
        while (r == m_activeScene) r = 2 + rand() % 3;
        m_activeScene = r;
    }
    m_sceneTimer += f.dt;
}

void BackgroundScenes::drawSpace(Canvas& c, const FrameValues& f) {
    c.pen().color = 0xE04040;
    c.brush().setColor(0xFFFFFF);
    if (!m_starsPlaced) {
        for (Star& s : m_stars) {
            s.angle = rand() % 360;
            s.distance = rand() % 57;
            s.speed = rand() % 3 + 1;
        }
        m_starsPlaced = true;
    }
    const int cw = f.cw, ch = f.ch;
    for (Star& s : m_stars) {
        const double lift = std::asin(s.distance * kDegree);
        // Both axes scale with the width: the field stays circular.
        const int x = static_cast<int>(std::cos(s.angle * kDegree) * lift * cw * 0.5) + cw / 2;
        const int y = static_cast<int>(std::sin(s.angle * kDegree) * lift * cw * 0.5) + ch / 2;
        s.distance += s.speed * f.dt * 0.005;
        if (x >= cw || x < 0 || y >= ch || y < 0 || s.distance >= 57) {
            s.angle = rand() % 360;
            s.distance = rand() % 30 + 1;
            s.speed = rand() % 3 + 1;
        }
        const int size = static_cast<int>(s.distance * 0.04 + 1 + s.speed * 2.0 / 3);
        c.ellipse(x, y, x + size, y + size);
    }
}

void BackgroundScenes::drawLaser(Canvas& c, const FrameValues& f) {
    if (!m_beamsPlaced) {
        for (int& a : m_beamAngles) a = rand() % 360;
        m_beamsPlaced = true;
    }
    const int cw = f.cw, ch = f.ch;
    m_beamPhase = (m_beamPhase + 1) % 3;
    for (int i = m_beamPhase; i < static_cast<int>(m_beamAngles.size()); i += 3) {
        const float base = static_cast<float>(m_beamAngles[static_cast<std::size_t>(i)]);
        const int a = static_cast<int>(i % 2 == 0 ? base + m_sweepAngle : base - m_sweepAngle);
        const int x1 = cw / 2 + static_cast<int>(std::cos(a * kDegree) * cw);
        const int y1 = ch / 2 + static_cast<int>(std::sin(a * kDegree) * cw);
        const int x2 = cw / 2 + static_cast<int>(std::cos((a + 0.1) * kDegree) * cw);
        const int y2 = ch / 2 + static_cast<int>(std::sin((a + 0.1) * kDegree) * cw);
        const int ox = cw / 2 + static_cast<int>(std::cos(m_originAngle * kDegree) * cw * 0.25);
        const int oy = ch / 2 + static_cast<int>(std::sin(m_originAngle * kDegree) * cw * 0.25);
        int hue = static_cast<int>(m_sweepAngle * 511 / 360);
        if (hue >= 256) hue = 511 - hue;
        c.pen().color = static_cast<Colour>(hue * 65536 + (256 - hue));
        c.moveTo(ox, oy);
        c.lineTo(x1, y1);
        c.moveTo(ox, oy);
        c.lineTo(x2, y2);
        // Per beam, not per frame: colour and turn advance between the beams.
        m_sweepAngle += static_cast<float>(f.dt * 0.001);
        if (m_sweepAngle >= 360) {
            m_sweepAngle -= 360;
            const int j = rand() % 80;
            m_beamAngles[static_cast<std::size_t>(j)] = rand() % 360;
        }
        m_originAngle += static_cast<float>(f.dt) / 3000;
        if (m_originAngle >= 360) m_originAngle -= 360;
    }
}

Ripple BackgroundScenes::newRipple(int cw, int ch) {
    Ripple r;
    r.x = rand() % cw;
    r.y = rand() % ch;
    // A client narrower than ten pixels has no room for a start delay.
    const int delayRange = cw / 10;
    const int delay = rand();
    r.radius = delayRange > 0 ? static_cast<float>(-(delay % delayRange)) : 0.0f;
    return r;
}

void BackgroundScenes::drawRipples(Canvas& c, const FrameValues& f) {
    const int cw = f.cw;
    if (!m_ripplesPlaced) {
        for (Ripple& r : m_ripples) r = newRipple(cw, f.ch);
        m_ripplesPlaced = true;
    }
    c.pen().style = PenStyle::Clear;
    const int cap = static_cast<int>(cw * 0.1);
    for (Ripple& rp : m_ripples) {
        // Ten discs from dark to bright blue, the largest first; each pixel
        // takes the colour of the smallest disc that holds it.
        int radii[10];
        Colour colours[10];
        for (int j = 0; j <= 9; ++j) {
            int r = static_cast<int>(rp.radius - static_cast<float>(j * cw / 256));
            if (r > cw * 0.1) r = cap;
            radii[j] = r;
            colours[j] = static_cast<Colour>((9 - j) * 25 * 65536);
        }
        c.nestedDiscs(rp.x, rp.y, radii, colours, 10);
        rp.radius += static_cast<float>(f.dt * 0.2);
        if (rp.radius > cw / 8) rp = newRipple(cw, f.ch);
    }
    c.pen().style = PenStyle::Solid;
}

}  // namespace orba
