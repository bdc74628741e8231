// Where the music is heard: the desktop's default audio output, or the
// GStreamer sink that ORBAKARAOKE_AUDIO_SINK describes (tests use
// "fakesink sync=true", which keeps time without a sound card).
#pragma once

#include <gst/gst.h>

namespace orba {

// A new floating sink element: the configured one, else the desktop's
// default, which itself falls back to a silent sink that keeps time.
GstElement* makeAudioSink();

// A silent sink that plays in real time, for machines whose audio output
// refuses to work.
GstElement* makeTimeKeepingFakeSink();

bool isTimeKeepingFakeSink(GstElement* sink);

}  // namespace orba
