// One window for every song: a start of the program with a music file first
// offers the file to a window that is already open, through that window's
// media-control interface on the session bus.
#pragma once

#include <string>

namespace orba {

// True when a running window took `musicFile` (the caller then exits); false
// with no session bus, no window there, or no answer within `timeoutMs`, and
// always for an empty file name.
bool handSongToRunningWindow(const std::string& musicFile, int timeoutMs = 1000);

}  // namespace orba
