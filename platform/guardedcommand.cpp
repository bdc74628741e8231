#include "platform/guardedcommand.h"

#include <cstdio>
#include <exception>

namespace orba {

int runGuardedCommand(const std::function<int()>& command) {
    try {
        return command();
    } catch (const std::exception& e) {
        std::fprintf(stderr, "orbakaraoke: %s\n", e.what());
    } catch (...) {
        std::fputs("orbakaraoke: unexpected error\n", stderr);
    }
    return 2;
}

}  // namespace orba
