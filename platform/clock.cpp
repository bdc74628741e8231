#include "platform/clock.h"

#include <chrono>

namespace orba {

unsigned tickCount() {
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::steady_clock::now().time_since_epoch());
    return static_cast<unsigned>(ms.count());
}

}  // namespace orba
