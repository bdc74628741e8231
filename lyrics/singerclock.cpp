#include "lyrics/singerclock.h"

#include <algorithm>
#include <climits>

namespace orba {

ScaledStep scaledElapsed(int dt, int tempoPercent, int carry) {
    if (dt <= 0) return {0, carry};
    const long long hundredths = static_cast<long long>(dt) * std::max(tempoPercent, 0) + carry;
    const long long ms = std::min<long long>(hundredths / 100, INT_MAX);
    return {static_cast<int>(ms), static_cast<int>(hundredths % 100)};
}

int lyricTextTiming(int textTiming, int lyricOffset) {
    const long long sum = static_cast<long long>(textTiming) + lyricOffset;
    return static_cast<int>(std::clamp<long long>(sum, INT_MIN, INT_MAX));
}

}  // namespace orba
