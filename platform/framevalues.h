// The values every drawing phase of a frame takes: the client size, the
// units that all text sizes and positions are measured in, and the time since
// the previous frame and the time of this one.
#pragma once

namespace orba {

struct FrameValues {
    int cw = 0;  // client width and height in pixels
    int ch = 0;
    int unitX = 0;             // cw / 48
    int unitY = 0;             // ch / 64
    int dt = 1;                // ms since the previous frame, at least 1
    bool sizeChanged = false;  // the client size differs from the previous drawn frame's
    unsigned now = 0;          // the tick count of this frame, ms
};

// The frame values of a client of cw x ch pixels.
inline FrameValues frameValuesFor(int cw, int ch, int dt, bool sizeChanged, unsigned now = 0) {
    return FrameValues{cw, ch, cw / 48, ch / 64, dt, sizeChanged, now};
}

}  // namespace orba
