// The seasonal layer: snow on 23 to 25 December for as long as the player
// runs, and a greeting for the first ten seconds of frame time on those days
// and on 1 January. The greeting is decided once, on the first frame.
#pragma once

#include <array>
#include <string>

#include "platform/bitmap.h"
#include "platform/framevalues.h"

namespace orba {

// Values of `seasonMode`.
enum SeasonMode { kSeasonNone = 0, kSeasonNewYear = 1, kSeasonChristmas = 4 };

// Snowflakes live in a virtual 1024 x 768 space scaled to the client.
struct Snowflake {
    float x = 0;
    float y = 0;
};

// Brightness of a greeting with `timer` ms left: full, then fading out over
// the last 2048 ms.
int greetingLevel(int timer);

class SeasonEffects {
public:
    static constexpr int kGreetingTime = 10000;

    void draw(Bitmap& back, const FrameValues& f, int seasonMode);

    const std::string& greeting() const { return m_greeting; }
    int greetingTimer() const { return m_greetingTimer; }
    const std::array<Snowflake, 120>& snowflakes() const { return m_snowflakes; }

private:
    void drawSnow(Canvas& c, const FrameValues& f);
    void drawGreeting(Canvas& c, const FrameValues& f);

    bool m_firstSeasonFrame = true;
    std::string m_greeting;
    int m_greetingTimer = 0;
    std::array<Snowflake, 120> m_snowflakes{};
};

}  // namespace orba
