#include "platform/jpegpicture.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QBuffer>
#include <cstdlib>

#include "demo/pictures/jpegwriter.h"
#include "tests/support/pictures.h"
#include "tests/support/tempdir.h"

namespace orba {
namespace {

const auto solid = &test::solidImage;

void expectNear(const Bitmap& b, int x, int y, Colour want) {
    EXPECT_TRUE(test::nearColour(b.canvas().pixel(x, y), want, 6))
        << std::hex << b.canvas().pixel(x, y) << " for " << want;
}

JpegPicture loaded(const std::string& bytes) {
    JpegPicture jpeg;
    EXPECT_TRUE(jpeg.loadFromBytes(bytes));
    return jpeg;
}

struct ScaleCase {
    int denominator;
    int w, h;
};

TEST(JpegPicture, DecodesAtEachScaleWithTheSizeRoundedUp) {
    const std::string bytes = encodeJpeg(solid(101, 37, QColor(200, 40, 90)));
    for (const ScaleCase& c :
         {ScaleCase{1, 101, 37}, ScaleCase{2, 51, 19}, ScaleCase{4, 26, 10}, ScaleCase{8, 13, 5}}) {
        JpegPicture jpeg;
        ASSERT_TRUE(jpeg.loadFromBytes(bytes));
        jpeg.setScale(c.denominator);
        EXPECT_EQ(jpeg.scaledWidth(), c.w);
        Bitmap out;
        ASSERT_TRUE(jpeg.decode(out));
        EXPECT_EQ(out.width(), c.w) << "1/" << c.denominator;
        EXPECT_EQ(out.height(), c.h) << "1/" << c.denominator;
        expectNear(out, c.w / 2, c.h / 2, 0x5A28C8);
        EXPECT_EQ(qAlpha(out.image().pixel(0, 0)), 255);
    }
}

TEST(JpegPicture, OtherScalesThanPowersOfTwoAreRefused) {
    JpegPicture jpeg;
    jpeg.setScale(3);
    EXPECT_EQ(jpeg.scale(), 1);
}

struct KindCase {
    const char* name;
    JpegWriteOptions options;
};

// Progressive, grey and CMYK files decode to the picture's colour, and to
// equal channels when asked for grey.
TEST(JpegPicture, EveryKindOfFileDecodesInColourAndInGrey) {
    const QImage picture = solid(40, 24, QColor(30, 160, 220));
    for (const KindCase& k :
         {KindCase{"baseline", {}}, KindCase{"progressive", {.progressive = true}},
          KindCase{"cmyk", {.cmyk = true}}}) {
        SCOPED_TRACE(k.name);
        const std::string bytes = encodeJpeg(picture, k.options);
        ASSERT_FALSE(bytes.empty());
        JpegPicture jpeg = loaded(bytes);
        Bitmap colour, grey;
        ASSERT_TRUE(jpeg.decode(colour));
        expectNear(colour, 20, 12, 0xDCA01E);
        jpeg.setGrayscale(true);
        ASSERT_TRUE(jpeg.decode(grey));
        const Colour g = grey.canvas().pixel(20, 12);
        EXPECT_EQ(g & 0xFF, (g >> 8) & 0xFF);
        EXPECT_EQ(g & 0xFF, (g >> 16) & 0xFF);
        EXPECT_NEAR(static_cast<int>(g & 0xFF), (30 * 77 + 160 * 150 + 220 * 29) >> 8, 6);
    }
    JpegPicture greyFile = loaded(encodeJpeg(picture, {.grey = true}));
    Bitmap out;
    ASSERT_TRUE(greyFile.decode(out));
    EXPECT_EQ(out.width(), 40);
}

// The frame of a SOF0 header holds height and width at bytes 5..8 after the
// marker; a file can claim any size there.
std::string withClaimedSize(std::string bytes, int w, int h) {
    const std::size_t sof = bytes.find("\xFF\xC0");
    EXPECT_NE(sof, std::string::npos);
    bytes[sof + 5] = static_cast<char>(h >> 8);
    bytes[sof + 6] = static_cast<char>(h & 0xFF);
    bytes[sof + 7] = static_cast<char>(w >> 8);
    bytes[sof + 8] = static_cast<char>(w & 0xFF);
    return bytes;
}

TEST(JpegPicture, BadFilesFailQuietlyAndLeaveTheTargetAlone) {
    const std::string good = encodeJpeg(solid(64, 48, Qt::red));
    QImage png = solid(8, 8, Qt::green);
    QByteArray pngBytes;
    {
        QBuffer buffer(&pngBytes);
        buffer.open(QIODevice::WriteOnly);
        png.save(&buffer, "PNG");
    }
    std::string garbage = good.substr(0, 2);
    for (int i = 0; i < 4000; ++i) garbage += static_cast<char>(std::rand());
    const std::string cases[] = {
        "",
        "not a picture at all",
        std::string(pngBytes.constData(), static_cast<std::size_t>(pngBytes.size())),
        good.substr(0, 20),  // ends inside the header
        garbage,
        withClaimedSize(good, 20000, 20000),  // more pixels than we ever hold
    };
    for (const std::string& bytes : cases) {
        JpegPicture jpeg;
        Bitmap out(3, 3);
        if (jpeg.loadFromBytes(bytes)) {
            EXPECT_FALSE(jpeg.decode(out));
        }
        EXPECT_EQ(out.width(), 3);
    }
}

TEST(JpegPicture, ATruncatedFileDecodesToItsSizeAndALyingHeaderIsRefused) {
    QImage busy(64, 48, QImage::Format_RGB32);
    for (int y = 0; y < 48; ++y)
        for (int x = 0; x < 64; ++x) busy.setPixel(x, y, qRgb(x * 4, (x * y) & 0xFF, y * 5));
    const std::string good = encodeJpeg(busy);
    // Cut inside the picture data, well after the tables.
    JpegPicture half = loaded(good.substr(0, good.size() - 300));
    Bitmap out;
    EXPECT_TRUE(half.decode(out));
    EXPECT_EQ(out.width(), 64);

    // A twelve-megapixel header over a few bytes of data is refused at once:
    // decoding the blocks it lacks would hold the frames for seconds.
    JpegPicture big;
    EXPECT_FALSE(big.loadFromBytes(withClaimedSize(good, 4000, 3000)));
    EXPECT_TRUE(JpegPicture::plausibleSize(23438, 4000 * 3000));  // a bit per 8 x 8 block
    EXPECT_FALSE(JpegPicture::plausibleSize(23437, 4000 * 3000));
}

// A progressive grey picture whose last scan is repeated `extra` times: the
// library only warns of such a progression and walks every block again for
// each copy, so a file of thousands of them held a decode for most of a minute.
std::string withRepeatedLastScan(int extra) {
    const std::string bytes =
        encodeJpeg(solid(256, 256, QColor(90, 90, 90)), {.progressive = true, .grey = true});
    const std::size_t lastScan = bytes.rfind("\xFF\xDA");
    const std::size_t end = bytes.rfind("\xFF\xD9");
    EXPECT_NE(lastScan, std::string::npos);
    EXPECT_EQ(end, bytes.size() - 2);
    const std::string scan = bytes.substr(lastScan, end - lastScan);
    std::string out = bytes.substr(0, end);
    for (int i = 0; i < extra; ++i) out += scan;
    return out + bytes.substr(end);
}

TEST(JpegPicture, APictureWithFarMoreScansThanAnyEncoderWritesIsNotDecoded) {
    JpegPicture some = loaded(withRepeatedLastScan(40));
    Bitmap out(3, 3);
    ASSERT_TRUE(some.decode(out));
    expectNear(out, 128, 128, 0x5A5A5A);

    JpegPicture many = loaded(withRepeatedLastScan(200));
    Bitmap untouched(3, 3);
    EXPECT_FALSE(many.decode(untouched));
    EXPECT_EQ(untouched.width(), 3);
}

TEST(JpegPicture, MissingAndEmptyFilesDoNotLoad) {
    test::TempDir dir;
    test::writeFile(dir.file("empty.jpg"), "");
    JpegPicture jpeg;
    EXPECT_FALSE(jpeg.loadFromFile(dir.file("empty.jpg")));
    EXPECT_FALSE(jpeg.loadFromFile(dir.file("missing.jpg")));
    EXPECT_FALSE(jpeg.loadFromFile(dir.path()));
    // Opening a pipe for reading would wait for a writer for ever.
    ASSERT_EQ(::mkfifo(dir.file("pipe.jpg").c_str(), 0600), 0);
    EXPECT_FALSE(jpeg.loadFromFile(dir.file("pipe.jpg")));
    EXPECT_EQ(jpeg.width(), 0);
}

}  // namespace
}  // namespace orba
