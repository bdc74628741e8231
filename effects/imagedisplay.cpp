#include "effects/imagedisplay.h"

#include "effects/imagestyles.h"
#include "platform/blend.h"
#include "platform/jpegpicture.h"
#include "platform/random.h"

namespace orba {

struct ImageDisplay::Frame {
    Bitmap& back;
    const FrameValues& f;
    const Settings& s;
    const std::vector<std::string>& files;
    unsigned int now;

    void blend(int x, int y, int opacity, const Bitmap& picture) const {
        drawBlended(back, x, y, s.darkTransparency, opacity, picture);
    }
};

namespace {

// How a style loads its pictures: the decoding scale against the client,
// the centre crop, and how many pictures one change brings.
struct SlideLoad {
    double factor = 0;
    bool crop = false;
    int count = 1;
};

// The list's picture at `index`, or its first when the list shrank since.
int pictureIndexIn(int index, int count) {
    return index >= count || index < 0 ? 0 : index;
}

SlideLoad slideLoadOf(int imageStyle) {
    switch (imageStyle) {
        case 1:
            return {1.5, false, 2};
        case 2:
            return {1.7, false, 1};
        default:
            return {0.7, true, 1};
    }
}

}  // namespace

void ImageDisplay::restart() {
    m_imageIndex = 0;
    m_slideTimer = 0;
    if (m_decoder) m_decoder->cancel();
}

void ImageDisplay::draw(Bitmap& back, const FrameValues& f, const Settings& s,
                        const std::vector<std::string>& imageFiles, unsigned int now) {
    if (!s.useImages || imageFiles.empty()) return;
    const Frame fr{back, f, s, imageFiles, now};
    const bool styleChanged = s.imageStyle != m_lastImageStyle;
    // Before the first drawn frame the worker can only be on the song load's
    // first pictures, asked for with the style drawn now.
    if (styleChanged && m_decoder && m_lastImageStyle >= 0) m_decoder->cancel();
    if (styleChanged) {
        m_pictureB.canvas().brush().setColor(0x000000);
        m_pictureB.canvas().fillRect({0, 0, m_pictureB.width(), m_pictureB.height()});
    }
    m_lastImageStyle = s.imageStyle;
    switch (s.imageStyle) {
        case 1:
            drawCross(fr);
            break;
        case 2:
            drawScroll(fr, styleChanged);
            break;
        case 5:
            drawFade(fr);
            break;
        default:
            drawCentre(fr);
            break;
    }
}

Rect ImageDisplay::coveredRect(const FrameValues& f, const Settings& s,
                               const std::vector<std::string>& imageFiles) const {
    // Styles 1 to 5 move, fade or scroll; a change of style or picture may
    // bring another size.
    const bool plain = s.imageStyle < 1 || s.imageStyle > 5;
    if (!s.useImages || imageFiles.empty() || !plain || s.imageStyle != m_lastImageStyle ||
        s.imageOpacity != 100 || s.darkTransparency != 0 || m_slideTimer == 0 || m_pictureA.empty())
        return {};
    const int x = f.cw / 2 - m_pictureA.width() / 2;
    const int y = f.ch / 2 - m_pictureA.height() / 2;
    return {x, y, x + m_pictureA.width(), y + m_pictureA.height()};
}

void ImageDisplay::decodeFirstAhead(const std::vector<std::string>& imageFiles, const Settings& s,
                                    int cw, int ch) {
    if (!m_decoder || !s.useImages || imageFiles.empty() || cw <= 0 || ch <= 0) return;
    // The cross style loads only while both pictures are off the screen;
    // the others at the start of their slide clock, where a load leaves it.
    if (s.imageStyle == 1 ? m_crossOffset != 0 : m_slideTimer != 0) return;
    const int index = pictureIndexIn(m_imageIndex, static_cast<int>(imageFiles.size()));
    const SlideLoad load = slideLoadOf(s.imageStyle);
    m_decoder->prepare(imageFiles, {index, cw, ch, s.monoChrome, load.factor, load.crop},
                       load.count);
}

void ImageDisplay::setDecodeAhead(bool on) {
    if (on && !m_decoder)
        m_decoder = std::make_unique<PictureDecoder>();
    else if (!on)
        m_decoder.reset();
}

ImageDisplay::PictureChange ImageDisplay::changePictures(const Frame& fr,
                                                         std::initializer_list<Bitmap*> targets) {
    const int count = static_cast<int>(fr.files.size());
    // The song loader restarts the index; a list that shrank since must not
    // send it past the end.
    m_imageIndex = pictureIndexIn(m_imageIndex, count);
    const SlideLoad style = slideLoadOf(fr.s.imageStyle);
    const PictureLoadKey key{m_imageIndex,    fr.f.cw,      fr.f.ch,
                             fr.s.monoChrome, style.factor, style.crop};
    const int n = static_cast<int>(targets.size());
    std::vector<PictureLoad> loads;
    if (!m_decoder) {
        loads = loadPictures(fr.files, key, n);
    } else if (auto ready = m_decoder->take(fr.files, key, n)) {
        loads = std::move(*ready);
    } else {
        return PictureChange::Waiting;
    }
    auto load = loads.begin();
    for (Bitmap* target : targets) target->image() = std::move(load++->picture.image());
    m_imageIndex = loads.back().nextIndex;
    return loads.front().ok ? PictureChange::Loaded : PictureChange::Failed;
}

void ImageDisplay::holdCentre(const Frame& fr) {
    // The entrances and exits of styles 3 and 4 end with nothing shown.
    if (fr.s.imageStyle == 3 || fr.s.imageStyle == 4) return;
    const Bitmap& a = m_pictureA;
    fr.blend(fr.f.cw / 2 - a.width() / 2, fr.f.ch / 2 - a.height() / 2, fr.s.imageOpacity, a);
}

void ImageDisplay::holdFade(const Frame& fr) {
    if (m_fadeSlot < 0) return;
    const Bitmap& current = m_fadeSlot == 0 ? m_pictureA : m_pictureB;
    fr.blend(fr.f.cw / 2 - current.width() / 2, fr.f.ch / 2 - current.height() / 2,
             fr.s.imageOpacity, current);
}

void ImageDisplay::drawCross(const Frame& fr) {
    const int cw = fr.f.cw, ch = fr.f.ch;
    // Both pictures start off the screen: nothing to show while they decode.
    if (m_crossOffset == 0 &&
        changePictures(fr, {&m_pictureA, &m_pictureB}) == PictureChange::Waiting)
        return;
    m_crossOffset += static_cast<float>(fr.f.dt * 0.125);
    if (m_crossOffset > m_pictureA.width() + cw && m_crossOffset > m_pictureB.width() + cw)
        m_crossOffset = 0;
    const int yA = (ch - m_pictureA.height()) / 10;
    const int yB = ch - m_pictureB.height() - (ch - m_pictureB.height()) / 10;
    fr.blend(static_cast<int>(m_crossOffset - static_cast<float>(m_pictureA.width())), yA,
             fr.s.imageOpacity, m_pictureA);
    fr.blend(static_cast<int>(static_cast<float>(cw) - m_crossOffset), yB, fr.s.imageOpacity,
             m_pictureB);
}

namespace {

// Calls piece(physical row, logical row, rows) for the logical rows
// [first, first + count) of a ring of `height` rows whose logical row 0 is
// physical row `top`, clipped to the ring.
template <typename Piece>
void forEachRingPiece(int top, int height, int first, int count, Piece piece) {
    int row = std::max(first, 0);
    const int end = std::min(first + count, height);
    while (row < end) {
        const int physical = (top + row) % height;
        const int rows = std::min(end - row, height - physical);
        piece(physical, row, rows);
        row += rows;
    }
}

}  // namespace

void ImageDisplay::drawScroll(const Frame& fr, bool styleChanged) {
    const int cw = fr.f.cw, ch = fr.f.ch;
    Canvas& strip = m_pictureB.canvas();
    if (styleChanged || fr.f.sizeChanged) {
        m_pictureB.setSize(cw, static_cast<int>(ch * 1.5));
        strip.brush().setColor(0x000000);
        strip.fillRect({0, 0, m_pictureB.width(), m_pictureB.height()});
        m_stripTop = 0;
    }
    const int height = m_pictureB.height();
    if (height <= 0) return;
    // While the next picture decodes the strip scrolls on and the slide
    // clock waits.
    const PictureChange change =
        m_slideTimer == 0 ? changePictures(fr, {&m_pictureA}) : PictureChange::Failed;
    if (change == PictureChange::Loaded) {
        int x = 0, y = 1;
        if (m_pictureA.width() < cw) {
            const int range = static_cast<int>(cw / 1.7 - m_pictureA.width());
            if (range > 0) x = static_cast<int>((static_cast<unsigned>(rand()) + fr.now) % range);
            x = static_cast<int>(x + m_scrollColumn * cw / 2.4);
            m_scrollColumn = (m_scrollColumn + 1) % 2;
        }
        if (m_pictureA.height() < ch / 2 - 1) y = rand() % (ch / 2 - m_pictureA.height() - 1) + 1;
        const int w = m_pictureA.width();
        forEachRingPiece(m_stripTop, height, y, m_pictureA.height(),
                         [&](int physical, int row, int rows) {
                             strip.copyRect({x, physical, x + w, physical + rows}, m_pictureA,
                                            {0, row - y, w, row - y + rows});
                         });
    }
    if (change != PictureChange::Waiting) m_slideTimer += fr.f.dt;
    if (m_slideTimer > 2500) m_slideTimer = 0;
    m_scrollRemainder += static_cast<float>(fr.f.dt) * ch / 11000;
    if (m_scrollRemainder >= 1) {
        // Moving the ring's start by n rows is the copy n rows lower; the n
        // rows that come round at the top are blackened.
        const int n = static_cast<int>(m_scrollRemainder);
        m_stripTop = ((m_stripTop - n) % height + height) % height;
        strip.brush().setColor(0x000000);
        forEachRingPiece(m_stripTop, height, 0, n, [&](int physical, int, int rows) {
            strip.fillRect({0, physical, cw, physical + rows});
        });
        m_scrollRemainder -= static_cast<float>(n);
    }
    // The visible window is the strip's lower two thirds.
    forEachRingPiece(m_stripTop, height, ch / 2, ch, [&](int physical, int row, int rows) {
        drawBlendedRect(fr.back, {0, row - ch / 2, cw, row - ch / 2 + rows}, fr.s.darkTransparency,
                        fr.s.imageOpacity, m_pictureB, {0, physical, cw, physical + rows});
    });
}

void ImageDisplay::drawFade(const Frame& fr) {
    if (m_slideTimer == 0) {
        Bitmap& next = (m_fadeSlot + 1) % 2 == 0 ? m_pictureA : m_pictureB;
        if (changePictures(fr, {&next}) == PictureChange::Waiting) {
            holdFade(fr);
            return;
        }
        m_fadeSlot = (m_fadeSlot + 1) % 2;
    }
    m_slideTimer = advancedSlideTimer(m_slideTimer, fr.f.dt);
    const int slideTime = shownSlideTime(fr.s.slideTime);
    const int fade = fadeTime(slideTime);
    const Bitmap& current = m_fadeSlot == 0 ? m_pictureA : m_pictureB;
    const Bitmap& previous = m_fadeSlot == 0 ? m_pictureB : m_pictureA;
    auto centred = [&](const Bitmap& b, int opacity) {
        fr.blend(fr.f.cw / 2 - b.width() / 2, fr.f.ch / 2 - b.height() / 2, opacity, b);
    };
    if (m_slideTimer < fade) {
        const int p = static_cast<int>(m_slideTimer / (fade * 0.01));
        const auto at = [&](const Bitmap& b, int opacity) {
            return BlendedPicture{fr.f.cw / 2 - b.width() / 2, fr.f.ch / 2 - b.height() / 2,
                                  opacity, &b};
        };
        // The two pictures cover much the same rows: each row takes both at once.
        drawBlendedInTurn(fr.back, fr.s.darkTransparency,
                          {at(current, fadedOpacity(fr.s.imageOpacity, p)),
                           at(previous, fadedOpacity(fr.s.imageOpacity, 100 - p))});
    } else {
        centred(current, fr.s.imageOpacity);
    }
    if (m_slideTimer > slideTime) m_slideTimer = 0;
}

void ImageDisplay::drawCentre(const Frame& fr) {
    if (m_slideTimer == 0 && changePictures(fr, {&m_pictureA}) == PictureChange::Waiting) {
        holdCentre(fr);
        return;
    }
    m_slideTimer = advancedSlideTimer(m_slideTimer, fr.f.dt);
    const int S = shownSlideTime(fr.s.slideTime);
    const int timer = m_slideTimer;
    const Bitmap& a = m_pictureA;
    const int xA = fr.f.cw / 2 - a.width() / 2;
    const int yA = fr.f.ch / 2 - a.height() / 2;
    const bool moving = slidePhase(timer, S) != SlidePhase::Shown;
    if (moving && fr.s.imageStyle == 3) {
        if (timer < S - 50) {
            const int d = spreadDistance(timer, S, fr.f.cw);
            const int tw = a.width() / 5, th = a.height() / 5;
            for (int n = 0; n < 25; ++n) {
                const int c = n % 5, r = n / 5;
                // A spread of 0 (the last moments of the entrance) has no
                // remainder to draw: the tiles stand still.
                int jx = xA, jy = yA;
                if (d > 0) {
                    jx = xA + rand() % d - d / 2;
                    jy = yA + rand() % d - d / 2;
                }
                drawBlendedRect(fr.back,
                                {jx + c * tw, jy + r * th, jx + (c + 1) * tw, jy + (r + 1) * th},
                                fr.s.darkTransparency, fr.s.imageOpacity, a,
                                {c * tw, r * th, (c + 1) * tw, (r + 1) * th});
            }
        }
    } else if (moving && fr.s.imageStyle == 4) {
        fr.blend(xA + slideOffset(timer, S, fr.f.cw, xA), yA, fr.s.imageOpacity, a);
    } else {
        fr.blend(xA, yA, fr.s.imageOpacity, a);
    }
    if (m_slideTimer > S) m_slideTimer = 0;
}

}  // namespace orba
