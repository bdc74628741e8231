// The process's one start of GStreamer: the player, the export and the tag
// readers all go through it, so the decoder choices made at the start hold
// for every pipeline whoever builds it first.
#pragma once

namespace orba {

// Starts GStreamer once; false when it cannot start (every later call says
// the same without trying again).
bool initGStreamer();

}  // namespace orba
