#include "playback/waituntilplaying.h"

#include <chrono>
#include <thread>

#include "playback/mediadevice.h"

namespace orba {

bool waitUntilPlaying(const std::function<int()>& mode, const std::function<void()>& sleep100ms) {
    for (int i = 0; i < 100; ++i) {
        if (mode() == kModePlaying) return true;
        sleep100ms();
    }
    return false;
}

bool waitUntilPlaying(MediaDevice& device) {
    return waitUntilPlaying([&] { return device.mode(); },
                            [] { std::this_thread::sleep_for(std::chrono::milliseconds(100)); });
}

}  // namespace orba
