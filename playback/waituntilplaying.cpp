#include "playback/waituntilplaying.h"

#include <chrono>
#include <thread>

#include "playback/mediadevice.h"

namespace orba {

bool waitUntilPlaying(const std::function<int()>& mode, const std::function<void()>& sleep100ms) {
    for (int i = 0; i < 100; ++i) {
        int now = mode();
        if (now == kModePlaying) return true;
        // After a play the device is stopped only when the song has already
        // ended or failed: it will not play, however long we wait.
        if (now == kModeStopped) return false;
        sleep100ms();
    }
    return false;
}

bool waitUntilPlaying(Transport& device) {
    return waitUntilPlaying([&] { return device.mode(); },
                            [] { std::this_thread::sleep_for(std::chrono::milliseconds(100)); });
}

}  // namespace orba
