#include "platform/pixelrows.h"

#include <gtest/gtest.h>

#include <vector>

#include "platform/random.h"
#if defined(__x86_64__)
#include "platform/pixelkernels.h"
#endif

namespace orba {
namespace {

using Row = std::vector<std::uint32_t>;

std::uint32_t channel(std::uint32_t p, int shift) {
    return (p >> shift) & 0xFFu;
}

Row randomRow(std::size_t n) {
    Row row(n);
    for (auto& p : row) p = 0xFF000000u | static_cast<std::uint32_t>(rand() * 512 + rand() % 512);
    return row;
}

std::vector<std::uint8_t> randomCoverage(std::size_t n) {
    std::vector<std::uint8_t> c(n);
    // Runs of empty and full coverage as text masks have, with partial values between.
    for (std::size_t i = 0; i < n; ++i) {
        const int r = rand() % 4;
        c[i] = r == 0 ? 0 : r == 1 ? 255 : static_cast<std::uint8_t>(rand() % 256);
    }
    for (std::size_t i = 8; i < std::min<std::size_t>(n, 24); ++i) c[i] = 0;
    return c;
}

// Each kernel checked against its formula, over the vector bodies and the
// scalar tails (row lengths that are not multiples of the vector width).
void checkKernels(const char* name, void (*blend)(std::uint32_t*, const std::uint32_t*, int, int),
                  void (*add)(std::uint32_t*, const std::uint32_t*, int, int),
                  void (*cover)(std::uint32_t*, const std::uint8_t*, int, std::uint32_t)) {
    resetRand();
    for (int alpha : {0, 1, 25, 127, 128, 200, 254, 255}) {
        for (int count : {1, 3, 4, 7, 33, 70}) {
            const auto n = static_cast<std::size_t>(count);
            const Row src = randomRow(n), dst = randomRow(n);
            const auto cov = randomCoverage(n);
            const std::uint32_t colour = 0xFF000000u | static_cast<std::uint32_t>(rand() * 613);
            Row blended = dst, added = dst, covered = dst;
            blend(blended.data(), src.data(), count, alpha);
            add(added.data(), src.data(), count, alpha);
            cover(covered.data(), cov.data(), count, colour);
            for (std::size_t i = 0; i < n; ++i) {
                for (int sh = 0; sh < 24; sh += 8) {
                    const std::uint32_t s = channel(src[i], sh), d = channel(dst[i], sh);
                    const std::uint32_t a = static_cast<std::uint32_t>(alpha), c = cov[i];
                    ASSERT_EQ(channel(blended[i], sh), (s * a + d * (255 - a)) / 255)
                        << name << " blend, alpha " << alpha << " pixel " << i;
                    ASSERT_EQ(channel(added[i], sh), std::min(255u, d + s * a / 255))
                        << name << " add, alpha " << alpha << " pixel " << i;
                    ASSERT_EQ(channel(covered[i], sh),
                              (channel(colour, sh) * c + d * (255 - c)) / 255)
                        << name << " cover, pixel " << i;
                }
                ASSERT_EQ(blended[i] >> 24, 0xFFu);
                ASSERT_EQ(added[i] >> 24, 0xFFu);
                ASSERT_EQ(covered[i] >> 24, 0xFFu);
            }
        }
    }
}

TEST(PixelRows, KernelsFollowTheirFormulasExactly) {
    checkKernels("dispatched", blendRow, addRow, coverRow);
}

#if defined(__SSE2__)
// The baseline vector bodies, which a processor with AVX2 never reaches
// through the dispatch; the scalar tails come from the dispatched kernels.
void blend128(std::uint32_t* d, const std::uint32_t* s, int n, int a) {
    const int done = kernels::blendVector<kernels::V128>(d, s, n, a);
    blendRow(d + done, s + done, n - done, a);
}
void add128(std::uint32_t* d, const std::uint32_t* s, int n, int a) {
    const int done = kernels::addVector<kernels::V128>(d, s, n, a);
    addRow(d + done, s + done, n - done, a);
}
void cover128(std::uint32_t* d, const std::uint8_t* c, int n, std::uint32_t p) {
    const int done = kernels::coverVector<kernels::V128>(d, c, n, p);
    coverRow(d + done, c + done, n - done, p);
}

TEST(PixelRows, BaselineVectorBodiesFollowTheSameFormulas) {
    checkKernels("sse2", blend128, add128, cover128);
}
#endif

TEST(PixelRows, APixelBlendedOverItselfStaysExactlyTheSame) {
    // Faded text relies on this: the background it carries must not shift.
    Row row(256);
    for (std::uint32_t v = 0; v < 256; ++v) row[v] = 0xFF000000u | v * 0x010101u;
    for (int alpha = 0; alpha <= 255; ++alpha) {
        Row out = row;
        blendRow(out.data(), row.data(), 256, alpha);
        ASSERT_EQ(out, row) << "alpha " << alpha;
    }
}

}  // namespace
}  // namespace orba
