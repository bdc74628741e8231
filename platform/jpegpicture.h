// A JPEG picture read from a file and decoded at a power-of-two reduction,
// optionally in grey. Anything that is not a JPEG we can decode (an empty or
// truncated file, another format under a .jpg name, a picture too large to
// hold) fails quietly: load() or decode() return false and nothing else
// happens, so a bad file can never stop the frames.
#pragma once

#include <memory>
#include <string>

#include "platform/bitmap.h"

namespace orba {

class JpegPicture {
public:
    JpegPicture();
    ~JpegPicture();
    JpegPicture(const JpegPicture&) = delete;
    JpegPicture& operator=(const JpegPicture&) = delete;
    JpegPicture(JpegPicture&&) noexcept;
    JpegPicture& operator=(JpegPicture&&) noexcept;

    // Reads the file and its header; false when it is no decodable JPEG.
    bool loadFromFile(const std::string& path);
    bool loadFromBytes(std::string bytes);

    // Full size of the loaded picture (0 x 0 before a successful load).
    int width() const;
    int height() const;

    // Decoding scale 1/denominator with denominator 1, 2, 4 or 8; the size
    // at a scale is the full size divided by it, rounded up.
    void setScale(int denominator);
    int scale() const;
    int scaledWidth() const;
    int scaledHeight() const;
    void setGrayscale(bool grey);

    // Decodes at the current scale into `out`; false (and `out` untouched)
    // when the data turns out to be bad.
    bool decode(Bitmap& out) const;

    // Pictures with more pixels than this are refused: their decoder state
    // alone would take more memory than the player should ever ask for.
    static constexpr long long kMaxPixels = 120'000'000;
    // Every 8 x 8 block of a real JPEG takes at least a bit of its data: a
    // file far smaller than the picture it claims is broken, and decoding
    // the blocks it lacks would hold the frames for seconds.
    static bool plausibleSize(long long fileBytes, long long pixels) {
        return fileBytes * 8 >= pixels / 64;
    }

private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

}  // namespace orba
