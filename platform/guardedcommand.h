// The edge of a headless command. Music and lyric files come from anywhere:
// whatever one of them makes a parser throw ends as a message on stderr and
// exit code 2, never as an abort of the process.
#pragma once

#include <functional>

namespace orba {

// Runs the command and returns its exit code, or 2 after "orbakaraoke: "
// and the exception's text on stderr when it throws.
int runGuardedCommand(const std::function<int()>& command);

}  // namespace orba
