#include "platform/pixelrows.h"

#include <algorithm>
#include <cstring>

#if defined(__x86_64__)
#include "platform/pixelkernels.h"
#define ORBA_X86_KERNELS 1
#endif

namespace orba {

namespace {

// floor(x / 255) for x <= 255 x 255 without a division.
constexpr std::uint32_t div255(std::uint32_t x) {
    return (x * 0x8081u) >> 23;
}

template <typename Channel>
std::uint32_t perChannel(Channel channel) {
    std::uint32_t out = 0xFF000000u;
    for (int shift = 0; shift < 24; shift += 8) out |= channel(shift) << shift;
    return out;
}

std::uint32_t byteAt(std::uint32_t v, int shift) {
    return (v >> shift) & 0xFFu;
}

std::uint32_t blendPixel(std::uint32_t s, std::uint32_t d, std::uint32_t a) {
    return perChannel(
        [&](int sh) { return div255(byteAt(s, sh) * a + byteAt(d, sh) * (255 - a)); });
}

std::uint32_t addPixel(std::uint32_t s, std::uint32_t d, std::uint32_t a) {
    return perChannel([&](int sh) {
        return std::min<std::uint32_t>(255, byteAt(d, sh) + div255(byteAt(s, sh) * a));
    });
}

#if ORBA_X86_KERNELS
using namespace kernels;

bool hasAvx2() {
    static const bool yes = __builtin_cpu_supports("avx2");
    return yes;
}
#endif

}  // namespace

void blendRow(std::uint32_t* dest, const std::uint32_t* source, int count, int alpha) {
    int i = 0;
#if ORBA_X86_KERNELS
    i = hasAvx2() ? blendRowAvx2(dest, source, count, alpha)
                  : blendVector<V128>(dest, source, count, alpha);
#endif
    const auto a = static_cast<std::uint32_t>(alpha);
    for (; i < count; ++i) dest[i] = blendPixel(source[i], dest[i], a);
}

void addRow(std::uint32_t* dest, const std::uint32_t* source, int count, int alpha) {
    int i = 0;
#if ORBA_X86_KERNELS
    i = hasAvx2() ? addRowAvx2(dest, source, count, alpha)
                  : addVector<V128>(dest, source, count, alpha);
#endif
    const auto a = static_cast<std::uint32_t>(alpha);
    for (; i < count; ++i) dest[i] = addPixel(source[i], dest[i], a);
}

void coverRow(std::uint32_t* dest, const std::uint8_t* coverage, int count, std::uint32_t pixel) {
    int i = 0;
#if ORBA_X86_KERNELS
    i = hasAvx2() ? coverRowAvx2(dest, coverage, count, pixel)
                  : coverVector<V128>(dest, coverage, count, pixel);
#endif
    for (; i < count; ++i)
        if (coverage[i] != 0) dest[i] = blendPixel(pixel, dest[i], coverage[i]);
}

}  // namespace orba
