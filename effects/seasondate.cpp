#include "effects/seasondate.h"

#include <cstdlib>
#include <ctime>
#include <string>

namespace orba {

int seasonModeFor(int mmdd) {
    if (mmdd >= 1223 && mmdd <= 1225) return 4;
    if (mmdd == 101) return 1;
    return 0;
}

int todayMmdd() {
    if (const char* fake = std::getenv("ORBAKARAOKE_TODAY")) {
        std::string s(fake);
        if (s.size() == 4 && s.find_first_not_of("0123456789") == std::string::npos)
            return std::stoi(s);
    }
    std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return (local.tm_mon + 1) * 100 + local.tm_mday;
}

}  // namespace orba
