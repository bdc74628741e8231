// Font faces by the names the player and its settings files use. Those faces are not
// installed on Linux; each resolves to an installed family that fits: the
// Japanese gothics to IPA gothic, Arial and its kin to metric-compatible
// faces, and any unknown face to the Japanese gothic, so that Japanese text
// never shows as empty boxes.
#pragma once

#include <QFont>
#include <QString>
#include <string>
#include <string_view>

namespace orba {

// The face of a freshly made canvas: a Japanese user-interface face.
inline constexpr const char* kDefaultFontFace = "MS UI Gothic";

// Installed family that draws `face` (UTF-8, or Shift-JIS bytes as an old
// settings file holds them). Needs a QGuiApplication.
QString resolveFontFace(std::string_view face);

// A face name as text: UTF-8, or Shift-JIS when it is not valid UTF-8.
QString fontFaceText(std::string_view face);

// The installed Japanese gothic every fallback ends in.
QString japaneseGothicFamily();

// Pixel height of a font of `points` at 96 dpi, rounded as the platform does.
int fontPixelSize(int points);

// The largest glyph height drawn, in pixels.
inline constexpr int kMaxFontPixels = 1024;

struct FontStyles {
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strikeOut = false;
    bool operator==(const FontStyles&) const = default;
};

// A QFont for a face name, a size in points and a style set. Glyphs missing
// from the face come from the Japanese gothic.
QFont makeQFont(std::string_view face, int points, FontStyles style);

}  // namespace orba
