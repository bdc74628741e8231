#include "effects/season.h"

#include "platform/random.h"

namespace orba {

namespace {

// A new column of the virtual space, 1..1024.
float newColumn() {
    return static_cast<float>(rand() * 1024 / kRandMax + 1);
}

}  // namespace

int greetingLevel(int timer) {
    return timer >= 2048 ? 255 : timer / 8;
}

void SeasonEffects::draw(Bitmap& back, const FrameValues& f, int seasonMode) {
    Canvas& c = back.canvas();
    if (seasonMode == kSeasonChristmas) {
        if (m_firstSeasonFrame) {
            m_greeting = "Merry Christmas!!";
            m_greetingTimer = kGreetingTime;
            // Staggered far above the top, so that the snow sets in gradually.
            for (Snowflake& s : m_snowflakes) {
                s.x = newColumn();
                int y = rand() * 768 / kRandMax + 1;
                y = y - 1000 - rand() * 20000 / kRandMax + 1;
                s.y = static_cast<float>(y);
            }
        }
        drawSnow(c, f);
    } else if (seasonMode == kSeasonNewYear && m_firstSeasonFrame) {
        m_greeting = "Happy New Year!!";
        m_greetingTimer = kGreetingTime;
    }
    m_firstSeasonFrame = false;
    if (m_greetingTimer > 0) drawGreeting(c, f);
}

void SeasonEffects::drawSnow(Canvas& c, const FrameValues& f) {
    c.pen().color = 0xFF6699;
    c.brush().setColor(0xFFFFFF);
    for (int i = 0; i < static_cast<int>(m_snowflakes.size()); ++i) {
        Snowflake& s = m_snowflakes[static_cast<std::size_t>(i)];
        // Flakes with a lower index are nearer: faster and larger.
        const double v = ((120 - i) * 0.0005 + 0.1) * f.dt;
        s.y += static_cast<float>(v * 0.8);
        if (s.y > 778) {
            s.x = newColumn();
            s.y -= 788;
        }
        const int jx = static_cast<int>(rand() * v / kRandMax + 1);
        const int jy = static_cast<int>(rand() * v / kRandMax + 1);
        s.x += static_cast<float>((jx - v * 2 / 3) / 3);
        s.y += static_cast<float>((jy - v * 2 / 3) / 3);
        if (s.x > 1034) s.x -= 1044;
        if (s.x < -10) s.x += 1044;
        const int sx = static_cast<int>(f.cw * s.x / 1024);
        const int sy = static_cast<int>(f.ch * s.y / 768);
        const int size = static_cast<int>(((120 - i) / 12.0 + 5) * f.cw / 1024);
        c.ellipse(sx, sy, sx + size, sy + size);
    }
}

void SeasonEffects::drawGreeting(Canvas& c, const FrameValues& f) {
    const auto level = static_cast<Colour>(greetingLevel(m_greetingTimer));
    Font& font = c.font();
    font.charset = kDefaultCharset;
    font.name = "Comic Sans MS";
    font.style = FontStyles{};
    font.style.bold = true;
    font.size = static_cast<int>(f.unitX * 3.5);
    c.brush().setStyle(BrushStyle::Clear);
    const char* text = m_greeting.c_str();
    const int x = (f.cw - c.textWidth(text)) / 2;
    const int y = (f.ch - c.textHeight(text)) / 2;
    font.color = level * 65537;  // magenta outline
    c.textOut(x, y, text);
    c.textOut(x + 2, y, text);
    c.textOut(x, y + 2, text);
    c.textOut(x + 2, y + 2, text);
    font.color = level * 65793;  // white face
    c.textOut(x + 1, y + 1, text);
    m_greetingTimer -= f.dt;
    if (m_greetingTimer <= 0) m_greeting.clear();
}

}  // namespace orba
