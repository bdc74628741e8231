// The process's one start of GStreamer: the player, the export and the tag
// readers all go through it, so the decoder choices made at the start hold
// for every pipeline whoever builds it first.
#pragma once

namespace orba {

// Starts GStreamer once; false when it cannot start (every later call says
// the same without trying again).
bool initGStreamer();

// Loads the plugins that opening a song takes (the playback bin, the audio
// chain, and the MP3 demuxer, parser and decoder) ahead of the first open,
// which otherwise maps them one by one as it meets them. Starts GStreamer
// first if need be; safe on any thread.
void preloadPlaybackPlugins();

}  // namespace orba
