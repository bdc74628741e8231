// Runs the real program, as a user or a script would, with neither display
// nor sound device.
#pragma once

#include <sys/wait.h>

#include <cstdlib>
#include <string>

#include "tests/support/tempdir.h"

namespace orba::test {

struct CommandRun {
    int exitCode = -1;  // -1 when the program did not exit (a signal)
    std::string out;
    std::string err;
};

// `args` are shell words after the program's name; output goes through
// files in `dir`.
inline CommandRun runProgram(const TempDir& dir, const std::string& program,
                             const std::string& args) {
    const std::string out = dir.file("stdout"), err = dir.file("stderr");
    const std::string command = "env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM=none '" +
                                program + "' " + args + " >'" + out + "' 2>'" + err + "'";
    CommandRun r;
    int status = std::system(command.c_str());
    r.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    r.out = readFile(out);
    r.err = readFile(err);
    return r;
}

}  // namespace orba::test
