// The parts of the player that need large third-party libraries (FFmpeg for
// CD+G graphics, aubio for scoring, FluidSynth for MIDI) are shared modules
// loaded on first use, so that a start never waits for the dynamic loader to
// map the hundred libraries they bring. Each module exports one factory
// function whose name carries the version of its interface; the interfaces
// are our own (playback/internal/, scoring/), never a third-party type.
//
// A module is looked for beside the program, then in ../lib/orbakaraoke/
// from the program's folder (the installed layout), then in the build tree's
// folder. A module is loaded once and stays for the life of the process.
#pragma once

#include <string>
#include <vector>

namespace orba {

// The folders a module is looked for in, in order.
std::vector<std::string> moduleFolders();

// The address of `symbol` in the module `name` (a file name such as
// "orba_cdg_ffmpeg.so"), or nullptr with `why` saying what went wrong in
// words. Thread-safe; the outcome is kept, a failure as much as a success.
void* moduleSymbol(const std::string& name, const char* symbol, std::string& why);

// Looks in `folders` alone from now on (an empty list restores the usual
// ones) and forgets what was loaded or missed; for tests of a missing module.
void setModuleFolders(std::vector<std::string> folders);

}  // namespace orba
