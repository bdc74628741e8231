// The decisions of the picture slideshow, as pure functions of the slide
// timer and the client: how long transitions last, how far the tiles of the
// spread style scatter, where a sliding picture stands, and at which
// power-of-two reduction a JPEG is decoded.
#pragma once

namespace orba {

// Transition time of the centre styles: 500 ms, or a quarter of a slide
// time below 2000 ms.
int transitionTime(int slideTime);

// Cross-fade time of the transparent centre style: 1000 ms, or half a slide
// time below 2000 ms.
int fadeTime(int slideTime);

// `percent` (0..100) of an opacity as the settings file gives it, which may
// be any int: computed in 64 bits, so it cannot overflow.
int fadedOpacity(int opacity, int percent);

// The slide timer `dt` ms on. It stops at the largest int instead of
// wrapping: a slide time near that is never passed, the picture stays.
int advancedSlideTimer(int timer, int dt);

// Where a slide of the centre styles stands at `timer` ms.
enum class SlidePhase { Entrance, Shown, Exit };
SlidePhase slidePhase(int timer, int slideTime);

// Spread of the scattered tiles of style 3 in pixels: from a third of the
// width down to 0 at the entrance, from 0 up to twice the width at the exit;
// 0 when shown.
int spreadDistance(int timer, int slideTime, int cw);

// Horizontal offset of style 4 from the centred position xA: in from the
// right edge at the entrance, out past the left edge at the exit.
int slideOffset(int timer, int slideTime, int cw, int xA);

// Decoding denominator 1, 2, 4 or 8 for a picture of pictureW x pictureH:
// the largest scale at which it fits in width / factor x height / factor,
// else 1/8. A factor of 0 or less decodes at full size.
int jpegScaleFor(int pictureW, int pictureH, int width, int height, double factor);

}  // namespace orba
