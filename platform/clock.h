// The system tick count: milliseconds of a monotonic clock, wrapping round at
// 2^32 as the frame clock expects (it restarts itself when the count wraps).
#pragma once

namespace orba {

unsigned tickCount();

}  // namespace orba
