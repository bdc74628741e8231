#include "platform/random.h"

#include <cstdint>

namespace orba {

namespace {
// The linear congruential generator of the C standard's sample rand(),
// starting from its unseeded state of 1.
std::uint32_t g_state = 1;
}  // namespace

int rand() {
    g_state = g_state * 1103515245u + 12345u;
    return static_cast<int>((g_state >> 16) & 0x7FFFu);
}

void resetRand() {
    g_state = 1;
}

}  // namespace orba
