// The pieces of the keyboard commands that need neither a device nor a
// window: the look toggles with their status labels, the quick reference,
// the cycling arithmetic and the seek target. Which command a key means is
// decided by the player (decideKey); carrying it out is the player's too.
#pragma once

#include <string>

#include "platform/keys.h"

namespace orba {

struct Settings;

// The parts of the look that are the player's rather than the settings':
// not saved.
struct LookFlags {
    bool debugMode = false;
    bool orbaObject = false;  // the mascot sprites
};

// The quick reference that Enter shows.
std::string quickReferenceText();

// The next value of a cycling setting; the remainder keeps the dividend's
// sign, so a negative value from the settings file climbs back through 0.
int cycled(int value, int count);

// Where Ctrl+Left / Ctrl+Right restart playback: two seconds back or on,
// at least 0 and at most a second before the end.
int seekTarget(bool forward, int position, int length);

// D, P, N, T, W, S, Z and I switch or cycle a part of the look; Ctrl+P and
// Ctrl+S are the text exports instead.
bool isLookToggle(const VirtualKey& key);
// Switches the look that `letter` names and returns its status label with
// the new value ("" for a letter that names none).
std::string applyLookToggle(char letter, Settings& settings, LookFlags& look);

// The status label of a master volume.
std::string volumeMessage(int volume);

}  // namespace orba
