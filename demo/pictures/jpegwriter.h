// JPEG encoding for the demo pictures and the test fixtures; the player
// itself only decodes.
#pragma once

#include <QImage>
#include <string>

namespace orba {

struct JpegWriteOptions {
    int quality = 80;
    bool progressive = false;
    bool grey = false;  // one grey component
    bool cmyk = false;  // four inverted components with an Adobe marker
};

// The encoded bytes, or "" when the picture cannot be encoded.
std::string encodeJpeg(const QImage& image, const JpegWriteOptions& options = {});

bool writeJpeg(const std::string& path, const QImage& image, const JpegWriteOptions& options = {});

}  // namespace orba
