// Row kernels on 32-bit pixels (0xAARRGGBB words), shared by the blends and
// the text drawing. Every result is exact integer arithmetic with truncating
// division by 255; the alpha byte of the result is always 0xFF.
#pragma once

#include <cstdint>

namespace orba {

// dest = (source x alpha + dest x (255 - alpha)) / 255 per channel.
void blendRow(std::uint32_t* dest, const std::uint32_t* source, int count, int alpha);

// dest = min(255, dest + source x alpha / 255) per channel.
void addRow(std::uint32_t* dest, const std::uint32_t* source, int count, int alpha);

// dest = (colour x c + dest x (255 - c)) / 255 per channel, with c the
// coverage byte of each pixel; `pixel` is the colour as a 32-bit pixel.
void coverRow(std::uint32_t* dest, const std::uint8_t* coverage, int count, std::uint32_t pixel);

}  // namespace orba
