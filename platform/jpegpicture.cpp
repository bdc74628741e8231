// libjpeg reports a fatal error through error_exit, which must not return.
// Ours jumps back with longjmp to the guarded call that started the work.
// Only C frames of the library lie between setjmp and longjmp, and the
// guarded functions hold nothing but plain pointers, so no destructor is
// skipped; the decoder itself is freed by its owner afterwards.
#include "platform/jpegpicture.h"

#include <jpeglib.h>

#include <csetjmp>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

namespace orba {

namespace {

// A file larger than this is no picture the player could show.
constexpr std::streamsize kMaxFileBytes = 256LL * 1024 * 1024;
// The decoder's own working memory (progressive pictures keep every
// coefficient) stops here with an error instead of growing further.
constexpr long kMaxDecoderMemory = 256L * 1024 * 1024;
// Each scan of a progressive picture walks every block of the components it
// covers, even when it carries no data, so the scans a file may hold bound
// the work of its decode. Encoders write about ten; a file with thousands
// held one picture load for most of a minute.
constexpr int kMaxScans = 100;

struct ErrorManager {
    jpeg_error_mgr pub;
    std::jmp_buf jump;
};

extern "C" void jumpOnError(j_common_ptr info) {
    std::longjmp(reinterpret_cast<ErrorManager*>(info->err)->jump, 1);
}

// Warnings (a truncated file, a bad marker) keep the decoded part; nothing
// is printed.
extern "C" void keepQuiet(j_common_ptr) {}

// Called by the library as it reads each scan's rows: past the scan limit the
// decode stops as on a fatal error.
extern "C" void stopAfterScanLimit(j_common_ptr info) {
    if (info->is_decompressor &&
        reinterpret_cast<j_decompress_ptr>(info)->input_scan_number > kMaxScans)
        jumpOnError(info);
}

struct Decoder {
    jpeg_decompress_struct info{};
    ErrorManager error{};
    jpeg_progress_mgr progress{};
};

struct DecoderDeleter {
    void operator()(Decoder* d) const {
        jpeg_destroy_decompress(&d->info);
        delete d;
    }
};
using DecoderPtr = std::unique_ptr<Decoder, DecoderDeleter>;

bool openGuarded(Decoder* d, const unsigned char* bytes, unsigned long size) {
    if (setjmp(d->error.jump)) return false;
    jpeg_create_decompress(&d->info);  // clears every field but the error manager
    d->info.mem->max_memory_to_use = kMaxDecoderMemory;
    d->info.progress = &d->progress;
    jpeg_mem_src(&d->info, bytes, size);
    return jpeg_read_header(&d->info, TRUE) == JPEG_HEADER_OK;
}

bool startGuarded(Decoder* d, int denominator, J_COLOR_SPACE out) {
    if (setjmp(d->error.jump)) return false;
    d->info.scale_num = 1;
    d->info.scale_denom = static_cast<unsigned int>(denominator);
    d->info.out_color_space = out;
    return jpeg_start_decompress(&d->info) != 0;
}

bool readRowsGuarded(Decoder* d, JSAMPROW* rows) {
    if (setjmp(d->error.jump)) return false;
    while (d->info.output_scanline < d->info.output_height) {
        const JDIMENSION got = jpeg_read_scanlines(&d->info, rows + d->info.output_scanline,
                                                   d->info.output_height - d->info.output_scanline);
        if (got == 0) return false;
    }
    return true;
}

// A decoder over `bytes` with its header read; null when the data is no JPEG.
DecoderPtr newDecoder(const std::string& bytes) {
    DecoderPtr d(new Decoder);
    d->info.err = jpeg_std_error(&d->error.pub);
    d->error.pub.error_exit = jumpOnError;
    d->error.pub.output_message = keepQuiet;
    d->progress.progress_monitor = stopAfterScanLimit;
    const auto* data = reinterpret_cast<const unsigned char*>(bytes.data());
    if (!openGuarded(d.get(), data, static_cast<unsigned long>(bytes.size()))) return {};
    return d;
}

std::uint32_t greyPixel(unsigned v) {
    return 0xFF000000u | (v << 16) | (v << 8) | v;
}

}  // namespace

struct JpegPicture::Impl {
    std::string bytes;
    int width = 0;
    int height = 0;
    bool cmyk = false;
    bool invertedCmyk = false;
    int denominator = 1;
    bool grey = false;
};

JpegPicture::JpegPicture() : m_impl(std::make_unique<Impl>()) {}
JpegPicture::~JpegPicture() = default;
JpegPicture::JpegPicture(JpegPicture&&) noexcept = default;
JpegPicture& JpegPicture::operator=(JpegPicture&&) noexcept = default;

bool JpegPicture::loadFromFile(const std::string& path) {
    // A pipe or device under a picture's name would block the frame.
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec)) return false;
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    in.seekg(0, std::ios::end);
    const std::streamsize size = in.tellg();
    if (size <= 0 || size > kMaxFileBytes) return false;
    in.seekg(0);
    std::string bytes(static_cast<std::size_t>(size), '\0');
    if (!in.read(bytes.data(), size)) return false;
    return loadFromBytes(std::move(bytes));
}

bool JpegPicture::loadFromBytes(std::string bytes) {
    *m_impl = Impl{};
    if (bytes.empty()) return false;
    const DecoderPtr d = newDecoder(bytes);
    if (!d) return false;
    const jpeg_decompress_struct& info = d->info;
    const long long pixels = static_cast<long long>(info.image_width) * info.image_height;
    if (info.image_width == 0 || info.image_height == 0 || pixels > kMaxPixels) return false;
    if (!plausibleSize(static_cast<long long>(bytes.size()), pixels)) return false;
    m_impl->bytes = std::move(bytes);
    m_impl->width = static_cast<int>(info.image_width);
    m_impl->height = static_cast<int>(info.image_height);
    m_impl->cmyk = info.jpeg_color_space == JCS_CMYK || info.jpeg_color_space == JCS_YCCK;
    m_impl->invertedCmyk = info.saw_Adobe_marker != 0;
    return true;
}

int JpegPicture::width() const {
    return m_impl->width;
}
int JpegPicture::height() const {
    return m_impl->height;
}

void JpegPicture::setScale(int denominator) {
    if (denominator == 1 || denominator == 2 || denominator == 4 || denominator == 8)
        m_impl->denominator = denominator;
}
int JpegPicture::scale() const {
    return m_impl->denominator;
}
int JpegPicture::scaledWidth() const {
    return (m_impl->width + m_impl->denominator - 1) / m_impl->denominator;
}
int JpegPicture::scaledHeight() const {
    return (m_impl->height + m_impl->denominator - 1) / m_impl->denominator;
}
void JpegPicture::setGrayscale(bool grey) {
    m_impl->grey = grey;
}

bool JpegPicture::decode(Bitmap& out) const {
    const Impl& p = *m_impl;
    if (p.bytes.empty()) return false;
    const DecoderPtr d = newDecoder(p.bytes);
    if (!d) return false;
    // BGRA rows are the bitmap's own pixel words, opaque. CMYK converts only
    // to CMYK in the library; its colours and grey are made here.
    const J_COLOR_SPACE space = p.cmyk ? JCS_CMYK : p.grey ? JCS_GRAYSCALE : JCS_EXT_BGRA;
    if (!startGuarded(d.get(), p.denominator, space)) return false;
    const int w = static_cast<int>(d->info.output_width);
    const int h = static_cast<int>(d->info.output_height);
    const int components = d->info.output_components;

    QImage image(w, h, QImage::Format_RGB32);
    if (image.isNull()) return false;
    const bool direct = space == JCS_EXT_BGRA;
    std::vector<unsigned char> buffer;
    if (!direct) buffer.resize(static_cast<std::size_t>(w) * components * h);
    std::vector<JSAMPROW> rows(static_cast<std::size_t>(h));
    for (int y = 0; y < h; ++y)
        rows[static_cast<std::size_t>(y)] =
            direct ? image.scanLine(y)
                   : buffer.data() + static_cast<std::size_t>(y) * w * components;
    if (!readRowsGuarded(d.get(), rows.data())) return false;

    for (int y = 0; !direct && y < h; ++y) {
        const unsigned char* s = rows[static_cast<std::size_t>(y)];
        auto* dst = reinterpret_cast<std::uint32_t*>(image.scanLine(y));
        for (int x = 0; x < w; ++x) {
            if (components == 1) {
                dst[x] = greyPixel(s[x]);
                continue;
            }
            const unsigned char* k4 = s + 4 * x;
            // Adobe's writers store CMYK inverted: the bytes are already 255 - ink.
            auto ink = [&](int i) { return p.invertedCmyk ? k4[i] : 255u - k4[i]; };
            const unsigned k = ink(3);
            const unsigned r = ink(0) * k / 255, g = ink(1) * k / 255, b = ink(2) * k / 255;
            dst[x] = p.grey ? greyPixel((r * 77 + g * 150 + b * 29) >> 8)
                            : 0xFF000000u | (r << 16) | (g << 8) | b;
        }
    }
    out.image() = std::move(image);
    return true;
}

}  // namespace orba
