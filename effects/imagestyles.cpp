#include "effects/imagestyles.h"

#include <climits>

namespace orba {

int transitionTime(int slideTime) {
    return slideTime >= 2000 ? 500 : slideTime / 4;
}

int fadeTime(int slideTime) {
    return slideTime >= 2000 ? 1000 : slideTime / 2;
}

int fadedOpacity(int opacity, int percent) {
    return static_cast<int>(static_cast<long long>(opacity) * percent / 100);
}

int advancedSlideTimer(int timer, int dt) {
    return timer > INT_MAX - dt ? INT_MAX : timer + dt;
}

SlidePhase slidePhase(int timer, int slideTime) {
    const int t = transitionTime(slideTime);
    // Without a transition time (a slide time below 4 ms, only from an
    // edited settings file) there is nothing to divide by: no transition.
    if (t <= 0) return SlidePhase::Shown;
    if (timer < t) return SlidePhase::Entrance;
    if (timer > slideTime - t) return SlidePhase::Exit;
    return SlidePhase::Shown;
}

int spreadDistance(int timer, int slideTime, int cw) {
    const long long t = transitionTime(slideTime);
    switch (slidePhase(timer, slideTime)) {
        case SlidePhase::Entrance:
            return static_cast<int>((t - timer) * cw / t / 3);
        case SlidePhase::Exit:
            return static_cast<int>((timer - (slideTime - t)) * cw * 2 / t);
        case SlidePhase::Shown:
            break;
    }
    return 0;
}

int slideOffset(int timer, int slideTime, int cw, int xA) {
    const long long t = transitionTime(slideTime);
    switch (slidePhase(timer, slideTime)) {
        case SlidePhase::Entrance:
            return static_cast<int>((cw - xA) * (t - timer) / t);
        case SlidePhase::Exit:
            return static_cast<int>((xA - cw) * (timer - (slideTime - t)) / t);
        case SlidePhase::Shown:
            break;
    }
    return 0;
}

int jpegScaleFor(int pictureW, int pictureH, int width, int height, double factor) {
    if (factor <= 0) return 1;
    int denominator = 1;
    auto scaled = [&](int size) { return (size + denominator - 1) / denominator; };
    for (int i = 0; i < 3; ++i)
        if (width / factor < scaled(pictureW)) denominator *= 2;
    for (int i = 0; i < 3 && denominator < 8; ++i)
        if (height / factor < scaled(pictureH)) denominator *= 2;
    return denominator;
}

}  // namespace orba
