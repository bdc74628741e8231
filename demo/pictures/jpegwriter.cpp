#include "demo/pictures/jpegwriter.h"

#include <jpeglib.h>

#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <vector>

namespace orba {

namespace {

struct ErrorManager {
    jpeg_error_mgr pub;
    std::jmp_buf jump;
};

extern "C" void jumpOnWriteError(j_common_ptr info) {
    std::longjmp(reinterpret_cast<ErrorManager*>(info->err)->jump, 1);
}

// Plain pointers only between setjmp and the library's calls.
bool compressGuarded(jpeg_compress_struct* c, ErrorManager* err, const JpegWriteOptions* o,
                     unsigned char** out, unsigned long* size, JSAMPROW* rows, int w, int h) {
    if (setjmp(err->jump)) return false;
    jpeg_create_compress(c);
    jpeg_mem_dest(c, out, size);
    c->image_width = static_cast<JDIMENSION>(w);
    c->image_height = static_cast<JDIMENSION>(h);
    c->input_components = o->grey ? 1 : o->cmyk ? 4 : 3;
    c->in_color_space = o->grey ? JCS_GRAYSCALE : o->cmyk ? JCS_CMYK : JCS_RGB;
    jpeg_set_defaults(c);
    jpeg_set_quality(c, o->quality, TRUE);
    if (o->progressive) jpeg_simple_progression(c);
    jpeg_start_compress(c, TRUE);
    jpeg_write_scanlines(c, rows, static_cast<JDIMENSION>(h));
    jpeg_finish_compress(c);
    return true;
}

}  // namespace

std::string encodeJpeg(const QImage& image, const JpegWriteOptions& options) {
    const QImage rgb = image.convertToFormat(QImage::Format_RGB888);
    const int w = rgb.width(), h = rgb.height();
    if (w == 0 || h == 0) return {};
    const int components = options.grey ? 1 : options.cmyk ? 4 : 3;
    std::vector<unsigned char> pixels(static_cast<std::size_t>(w) * h * components);
    std::vector<JSAMPROW> rows(static_cast<std::size_t>(h));
    for (int y = 0; y < h; ++y) {
        const unsigned char* s = rgb.constScanLine(y);
        unsigned char* d = pixels.data() + static_cast<std::size_t>(y) * w * components;
        rows[static_cast<std::size_t>(y)] = d;
        for (int x = 0; x < w; ++x) {
            const unsigned char* px = s + 3 * x;
            if (options.grey) {
                d[x] = static_cast<unsigned char>((px[0] * 77 + px[1] * 150 + px[2] * 29) >> 8);
            } else if (options.cmyk) {
                // Inverted ink, as Adobe's writers store it: no black ink.
                d[4 * x] = px[0];
                d[4 * x + 1] = px[1];
                d[4 * x + 2] = px[2];
                d[4 * x + 3] = 255;
            } else {
                d[3 * x] = px[0];
                d[3 * x + 1] = px[1];
                d[3 * x + 2] = px[2];
            }
        }
    }
    jpeg_compress_struct c{};
    ErrorManager err{};
    c.err = jpeg_std_error(&err.pub);
    err.pub.error_exit = jumpOnWriteError;
    unsigned char* out = nullptr;
    unsigned long size = 0;
    const bool ok = compressGuarded(&c, &err, &options, &out, &size, rows.data(), w, h);
    jpeg_destroy_compress(&c);
    std::string bytes = ok && out ? std::string(reinterpret_cast<char*>(out), size) : std::string();
    std::free(out);
    return bytes;
}

bool writeJpeg(const std::string& path, const QImage& image, const JpegWriteOptions& options) {
    const std::string bytes = encodeJpeg(image, options);
    if (bytes.empty()) return false;
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
    return static_cast<bool>(out);
}

}  // namespace orba
