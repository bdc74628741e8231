#include "platform/startuptrace.h"

#include <sys/resource.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>

namespace orba {

namespace {

const char* traceValue() {
    static const char* value = std::getenv("ORBAKARAOKE_STARTUP_TRACE");
    return value;
}

double realtimeMs() {
    timespec ts{};
    clock_gettime(CLOCK_REALTIME, &ts);
    return static_cast<double>(ts.tv_sec) * 1e3 + static_cast<double>(ts.tv_nsec) / 1e6;
}

double cpuMs() {
    rusage ru{};
    getrusage(RUSAGE_SELF, &ru);
    auto ms = [](const timeval& tv) {
        return static_cast<double>(tv.tv_sec) * 1e3 + static_cast<double>(tv.tv_usec) / 1e3;
    };
    return ms(ru.ru_utime) + ms(ru.ru_stime);
}

}  // namespace

bool startupTraceOn() {
    return traceValue() != nullptr;
}

bool startupTraceExits() {
    return traceValue() != nullptr && std::strcmp(traceValue(), "exit") == 0;
}

void startupMark(const char* step) {
    if (!startupTraceOn()) return;
    static const double t0 = [] {
        const char* launched = std::getenv("ORBAKARAOKE_STARTUP_T0");
        return launched ? std::strtod(launched, nullptr) / 1e6 : realtimeMs();
    }();
    std::fprintf(stderr, "startup: %-24s wall %7.1f ms  cpu %7.1f ms\n", step, realtimeMs() - t0,
                 cpuMs());
}

}  // namespace orba
