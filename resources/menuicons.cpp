#include "resources/menuicons.h"

#include <array>
#include <cstdint>

namespace orba {

namespace {

using Art = std::array<const char*, 16>;

// Pixel art, one character a pixel; '.' is transparent.
// clang-format off
constexpr std::array<Art, kMenuIconCount> kIcons = {{
    // 0 options: a gear
    {"................", "......kkkk......", "..kk..kggk..kk..", ".kggk.kggk.kggk.",
     ".kgggkkggkkgggk.", "..kggggggggggk..", "...kggkkkkggk...", "kkkkggk..kggkkkk",
     "kggggk....kggggk", "kkkkggk..kggkkkk", "...kggkkkkggk...", "..kggggggggggk..",
     ".kgggkkggkkgggk.", ".kggk.kggk.kggk.", "..kk..kggk..kk..", "......kkkk......"},
    // 1 open: an opened folder
    {"................", "................", ".kkkk...........", "kyyyyk..........",
     "kyyyyykkkkkkk...", "kyyyyyyyyyyyyk..", "kyykkkkkkkkkkkkk", "kyykoooooooooook",
     "kykoooooooooook.", "kykooooooooook..", "kkoooooooooook..", "kkooooooooook...",
     "koooooooooook...", "kkkkkkkkkkkk....", "................", "................"},
    // 2 exit: a door with an arrow
    {"................", "..kkkkkkkkk.....", "..koooooook.....", "..koooooook.....",
     "..koooooook..r..", "..koooooook..rr.", "..kooooyook.rrrr", "..kooooyookrrrrr",
     "..koooooook.rrrr", "..koooooook..rr.", "..koooooook..r..", "..koooooook.....",
     "..koooooook.....", "..kkkkkkkkk.....", "................", "................"},
    // 3 full screen: a monitor with arrows to its corners
    {"................", "kkkkkkkkkkkkkkkk", "kbbbbbbbbbbbbbbk", "kbwwbbbbbbbbwwbk",
     "kbwbbbbbbbbbbwbk", "kbbbwbbbbbbwbbbk", "kbbbbbbbbbbbbbbk", "kbbbbbbbbbbbbbbk",
     "kbbbwbbbbbbwbbbk", "kbwbbbbbbbbbbwbk", "kbwwbbbbbbbbwwbk", "kbbbbbbbbbbbbbbk",
     "kkkkkkkkkkkkkkkk", "......kddk......", "....kkkkkkkk....", "................"},
    // 4 file: a sheet of paper with a folded corner
    {"................", "..kkkkkkkk......", "..kwwwwwwkwk....", "..kwwwwwwkwwk...",
     "..kwwwwwwkkkkk..", "..kwgggggwwwwk..", "..kwwwwwwwwwwk..", "..kwgggggggwwk..",
     "..kwwwwwwwwwwk..", "..kwgggggggwwk..", "..kwwwwwwwwwwk..", "..kwgggggwwwwk..",
     "..kwwwwwwwwwwk..", "..kkkkkkkkkkkk..", "................", "................"},
    // 5 edit: a pencil
    {"................", "...........kk...", "..........krrk..", ".........krrrk..",
     "........kykkk...", ".......kyyyk....", "......kyyyk.....", ".....kyyyk......",
     "....kyyyk.......", "...kyyyk........", "..kwyyk.........", "..kwwk..........",
     ".kkkk...........", ".kk.............", "................", "................"},
    // 6 time-tag edit: a clock
    {"................", ".....kkkkkk.....", "...kkwwwwwwkk...", "..kwwwwkwwwwwk..",
     ".kwwwwwkwwwwwwk.", ".kwwwwwkwwwwwwk.", "kwwwwwwkwwwwwwwk", "kwwwwwwkwwwwwwwk",
     "kwwwwwwkkkkkwwwk", "kwwwwwwwwwwwwwwk", ".kwwwwwwwwwwwwk.", ".kwwwwwwwwwwwwk.",
     "..kwwwwwwwwwwk..", "...kkwwwwwwkk...", ".....kkkkkk.....", "................"},
    // 7 stay on top: a pin
    {"................", ".....kkkkkk.....", ".....krrrrk.....", "......krrk......",
     "......krrk......", "......krrk......", ".....krrrrk.....", "....krrrrrrk....",
     "...kkkkkkkkkk...", ".......kk.......", ".......kk.......", ".......dd.......",
     ".......dd.......", "........d.......", "................", "................"},
    // 8 folder play: two notes and a repeat arrow
    {"................", ".....kkkkkkkkk..", ".....kbbbbbbbk..", ".....kkkkkkkkk..",
     ".....k.......k..", ".....k.......k..", ".....k.......k..", "..kkkk....kkkk..",
     ".kbbbk...kbbbk..", ".kbbbk...kbbbk..", "..kkk.....kkk...", "................",
     "..GG.........G..", ".GGGGGGGGGGGGGG.", "..GG.........G..", "................"},
}};
// clang-format on

QRgb colourOf(char c) {
    switch (c) {
        case 'k':
            return qRgb(0, 0, 0);
        case 'w':
            return qRgb(255, 255, 255);
        case 'g':
            return qRgb(168, 168, 168);
        case 'd':
            return qRgb(96, 96, 96);
        case 'y':
            return qRgb(255, 214, 64);
        case 'o':
            return qRgb(200, 128, 48);
        case 'r':
            return qRgb(216, 32, 32);
        case 'b':
            return qRgb(48, 96, 216);
        case 'G':
            return qRgb(32, 160, 64);
        default:
            return qRgba(0, 0, 0, 0);
    }
}

}  // namespace

QImage menuIcon(int index) {
    QImage img(16, 16, QImage::Format_ARGB32);
    img.fill(Qt::transparent);
    if (index < 0 || index >= kMenuIconCount) return img;
    const Art& art = kIcons[static_cast<std::size_t>(index)];
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16 && art[y][x] != '\0'; ++x) img.setPixel(x, y, colourOf(art[y][x]));
    return img;
}

}  // namespace orba
