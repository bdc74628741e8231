// The frame's steps in the player's order, over a black background (the
// background phase's clear) or pictures that the caller draws, and music
// readings that the caller sets: for tests and benchmarks of the clocks and
// the lyric frame, without a player or a transport around them.
#pragma once

#include <functional>

#include "lyrics/frame.h"
#include "platform/bitmap.h"
#include "player/frameviews.h"
#include "player/songclock.h"

namespace orba::test {

struct FrameDriver {
    FrameLoop loop;
    MusicReading music{0, 2};
    int pictures = 0;  // frames that got as far as their pictures
    int ends = 0;      // frames that ended the song
    // The picture phases; none: a black background.
    std::function<void(Bitmap&, const FrameValues&, const PlayerState&)> drawPictures;

    // One frame; the end of the song resets the clock as the player's end
    // step does. False when nothing was drawn.
    bool tick(Bitmap& back, int cw, int ch, unsigned now, const Settings& s, PlayerState& st) {
        if (!loop.beginFrame(back, cw, ch)) return false;
        const std::optional<int> dt = frameClock(now, st.lastTick);
        if (!dt) return false;
        loop.clockTicked(*dt, now);
        ++pictures;
        if (drawPictures) {
            drawPictures(back, loop.values(), st);
        } else {
            Canvas& canvas = back.canvas();
            canvas.brush().setColor(0);
            canvas.clearAround({});
        }
        const LyricClock clock = clockStep(s, st, *dt, music);
        if (clock.songEnded) {
            ++ends;
            st.songTime = 0;
            st.currentLine = 0;
        }
        const LyricFrame lf = loop.lyricStep(s, lyricViewOf(st), clock.lyricTime);
        st.currentLine = lf.currentLine;
        applyLyricsDrawn(st, loop.drawLyrics(back, s, lyricViewOf(st), lf));
        return true;
    }
};

}  // namespace orba::test
