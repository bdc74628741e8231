// The runtime's random numbers: one sequence for the whole process that is
// never seeded, so every run draws the same numbers and frames can be
// reproduced.
#pragma once

namespace orba {

constexpr int kRandMax = 32767;

// Next number of the process-wide sequence, 0..32767.
int rand();

// Starts the sequence again from its beginning, as at process start.
void resetRand();

}  // namespace orba
