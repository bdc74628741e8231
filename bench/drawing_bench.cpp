// Costs of the per-frame drawing primitives: outlined lyric lines, the
// picture blends and a CD+G screen as the whole frame.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "effects/cdgdisplay.h"
#include "lyrics/textdrawing.h"
#include "platform/bitmap.h"
#include "platform/blend.h"
#include "platform/sjis.h"

namespace orba {
namespace {

// Twenty full-width characters.
const std::string kLine = utf8ToSjis("今日もいい天気ですね。歌を歌いましょうよ");

Bitmap frame(int w, int h) {
    Bitmap b(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            b.canvas().setPixel(x, y, static_cast<Colour>((x * 7919 + y * 104729) % 0xFFFFFF));
    return b;
}

void BM_OutlinedText(benchmark::State& state) {
    const bool faded = state.range(0) != 0;
    Bitmap target = frame(800, 600);
    target.canvas().font().size = 19;
    target.canvas().font().style.bold = true;
    target.canvas().font().charset = kShiftJisCharset;
    for (auto _ : state)
        drawOutlinedText(target, 100, 520, true, faded ? 60 : 100, 0x000000, 0x7F7F7F, 0xFFFFFF,
                         kLine);
}
BENCHMARK(BM_OutlinedText)->ArgName("faded")->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

// The first frame of a new line: the text is not rendered yet.
void BM_OutlinedTextNewLine(benchmark::State& state) {
    Bitmap target = frame(800, 600);
    target.canvas().font().size = 19;
    target.canvas().font().style.bold = true;
    std::vector<std::string> lines;
    for (int i = 0; i < 64; ++i) lines.push_back(kLine + std::to_string(i));
    std::size_t next = 0;
    for (auto _ : state) {
        drawOutlinedText(target, 100, 520, true, 100, 0x000000, 0x7F7F7F, 0xFFFFFF, lines[next]);
        next = (next + 1) % lines.size();
    }
}
BENCHMARK(BM_OutlinedTextNewLine)->Unit(benchmark::kMicrosecond);

void BM_DrawBlended(benchmark::State& state) {
    const int w = static_cast<int>(state.range(0));
    const int h = static_cast<int>(state.range(1));
    const int dark = static_cast<int>(state.range(2));
    Bitmap target = frame(w, h);
    const Bitmap picture = frame(w, h);
    const int opacity = static_cast<int>(state.range(3));
    for (auto _ : state) drawBlended(target, 0, 0, dark, opacity, picture);
    state.SetItemsProcessed(state.iterations() * w * h);
}
BENCHMARK(BM_DrawBlended)
    ->ArgNames({"w", "h", "dark", "opacity"})
    ->Args({800, 600, 0, 50})
    ->Args({800, 600, 1, 50})
    ->Args({1920, 1080, 0, 50})
    ->Args({1920, 1080, 1, 50})
    ->Args({1920, 1080, 0, 100})
    ->Unit(benchmark::kMicrosecond);

// A CD+G song's frame at full HD: the 300 x 216 screen scaled to 1500 x 1080
// and the border's bars beside it. Aim: at most 1 ms.
void BM_CdgFrame(benchmark::State& state) {
    const int w = static_cast<int>(state.range(0)), h = static_cast<int>(state.range(1));
    Bitmap back(w, h);
    const Bitmap screen = frame(300, 216);
    for (auto _ : state) {
        drawCdgScreen(back, w, h, screen, 0x402010);
        benchmark::DoNotOptimize(back.image().constBits());
    }
}
BENCHMARK(BM_CdgFrame)->Args({1920, 1080})->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace orba
