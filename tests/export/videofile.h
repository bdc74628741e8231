// Looking into the files an export wrote, with GStreamer as a player would:
// their streams, a decoded frame at a moment, the decoded sound.
#pragma once

#include <QImage>
#include <optional>
#include <string>
#include <vector>

namespace orba::test {

struct VideoFileInfo {
    int videoStreams = 0;
    int audioStreams = 0;
    int width = 0;
    int height = 0;
    int fpsNum = 0;
    int fpsDen = 0;
    int durationMs = -1;
    std::string videoCodec;
    std::string audioCodec;
};
// Nothing when GStreamer cannot read the file.
std::optional<VideoFileInfo> discoverVideo(const std::string& path);

// The picture shown at `ms`, as 32-bit RGB.
std::optional<QImage> decodeFrameAt(const std::string& path, int ms);

// The whole sound, as interleaved stereo float samples at 48 kHz.
std::vector<float> decodeAudio(const std::string& path);
// Root mean square of the samples of [fromMs, toMs) of a 48 kHz stereo sound.
double rmsBetween(const std::vector<float>& samples, int fromMs, int toMs);
// Where a 48 kHz stereo sound first goes above `level`, in ms (-1: never).
double firstLoudMs(const std::vector<float>& samples, float level);

// Peak signal-to-noise ratio of two pictures of one size over their red,
// green and blue, in dB (a large number when they are equal).
double psnr(const QImage& a, const QImage& b);
// The same over their brightness alone (BT.709 luma): what is left when the
// colour of thin coloured edges, which 4:2:0 video keeps at half resolution,
// is not counted.
double lumaPsnr(const QImage& a, const QImage& b);

// A 48 kHz stereo 16-bit WAV file: silence for `silentMs`, then a 440 Hz tone
// for `toneMs`.
void writeSilenceThenTone(const std::string& path, int silentMs, int toneMs);

}  // namespace orba::test
