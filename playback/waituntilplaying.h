// Waiting for a song to be heard: a MIDI song (and every song after a jump)
// is counted from the moment the device reports that it plays.
#pragma once

#include <functional>

namespace orba {

class Transport;

// Asks for the mode, sleeping 100 ms between questions, at most 100 times;
// true as soon as the mode is playing, false as soon as it is stopped (the
// song ended or failed at once) or after the last question.
bool waitUntilPlaying(const std::function<int()>& mode, const std::function<void()>& sleep100ms);
bool waitUntilPlaying(Transport& device);

}  // namespace orba
