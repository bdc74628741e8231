#include "export/exportjob.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>

#include "platform/files.h"

namespace orba {

namespace {

constexpr EncoderChoice kH264{"x264enc", "gstreamer1.0-plugins-ugly"};
constexpr EncoderChoice kOpus{"opusenc", "gstreamer1.0-plugins-base"};

std::string lowerCase(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

}  // namespace

std::optional<EncodingPlan> encodingPlanFor(const std::string& outFile) {
    const std::string ext = lowerCase(extensionPart(outFile));
    if (ext == ".mp4")
        return EncodingPlan{"MP4 (H.264, AAC)",
                            kH264,
                            std::nullopt,
                            EncoderChoice{"avenc_aac", "gstreamer1.0-libav"},
                            EncoderChoice{"mp4mux", "gstreamer1.0-plugins-good"},
                            1024};
    if (ext == ".webm")
        return EncodingPlan{"WebM (VP9, Opus)",
                            EncoderChoice{"vp9enc", "gstreamer1.0-plugins-good"},
                            EncoderChoice{"vp8enc", "gstreamer1.0-plugins-good"}, kOpus,
                            EncoderChoice{"webmmux", "gstreamer1.0-plugins-good"}};
    if (ext == ".mkv")
        return EncodingPlan{"Matroska (H.264, Opus)", kH264, std::nullopt, kOpus,
                            EncoderChoice{"matroskamux", "gstreamer1.0-plugins-good"}};
    return std::nullopt;
}

std::string videoSizeError(int width, int height) {
    const std::string size = std::to_string(width) + "x" + std::to_string(height);
    if (width < kSmallestVideoSide || height < kSmallestVideoSide)
        return "the video size must be at least " + std::to_string(kSmallestVideoSide) + "x" +
               std::to_string(kSmallestVideoSide) + " (" + size + ")";
    if (width % 2 || height % 2)
        return "the video size must be even in both directions (" + size + ")";
    return {};
}

int frameSongMs(int fromMs, long long k, int fps) {
    return fromMs + static_cast<int>((k * 1000 + fps / 2) / fps);
}

long long frameCount(int fromMs, int toMs, int fps) {
    const long long span = std::max(toMs - fromMs, 0);
    return (span * fps + 999) / 1000;
}

std::string progressText(const ExportProgress& p) {
    const long long total = std::max(p.framesTotal, 1LL);
    const long long done = std::clamp(p.framesDone, 0LL, total);
    std::string text = std::to_string(done * 100 / total) + "%";
    if (done == 0 || p.elapsedSeconds <= 0 || p.fps <= 0) return text;
    const double speed = static_cast<double>(done) / p.fps / p.elapsedSeconds;
    const long long left = std::llround(p.elapsedSeconds * static_cast<double>(total - done) /
                                        static_cast<double>(done));
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, " %.1fx real time, %lld:%02lld left", speed, left / 60,
                  left % 60);
    return text + buffer;
}

}  // namespace orba
