#include "platform/guardedcommand.h"

#include <cstdio>
#include <exception>

#include "platform/handlerguard.h"

namespace orba {

int runGuardedCommand(const std::function<int()>& command) {
    try {
        return command();
    } catch (const std::exception& e) {
        std::fprintf(stderr, "orbakaraoke: %s\n", exceptionMessage(e));
    } catch (...) {
        std::fputs("orbakaraoke: unexpected error\n", stderr);
    }
    return 2;
}

}  // namespace orba
