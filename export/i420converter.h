// The player's 32-bit frames (bytes B, G, R, x) to I420, the planar 4:2:0
// picture the video encoders take.
//
// The conversion replaces the pipeline's general-purpose converter, so it
// gives the colours that one gave: the matrix and range the encoder's caps
// name (BT.709 at HD sizes, BT.601 below, studio range), each chroma sample
// the mean of its two rows, and across the row either the mean of its two
// columns or, where the chroma sits on the even columns, 1-2-1 weights
// centred there.
//
// Most rows of a lyric frame are the rows of the frame before it: the
// converter keeps the previous frame and converts only the row pairs that
// changed, copying the rest from the previous result (which the caller
// keeps, so that the result can be written straight into the encoder's
// buffer).
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace orba {

// Where the planes of one I420 frame lie in its memory.
struct I420Layout {
    int width = 0;
    int height = 0;
    std::size_t strideY = 0, strideU = 0, strideV = 0;
    std::size_t offsetU = 0, offsetV = 0;
    std::size_t size = 0;  // bytes of the whole frame
};

// Fixed-point weights of one RGB to YUV matrix and range.
struct YuvMatrix {
    static constexpr int kShift = 16;
    std::int32_t y[3] = {};  // for R, G, B
    std::int32_t u[3] = {};
    std::int32_t v[3] = {};
    std::int32_t yOffset = 0;          // 16 in studio range, else 0
    bool chromaOnEvenColumns = false;  // else between two columns
};

// `kr`, `kb`: the matrix's luma weights of red and blue (BT.709: 0.2126,
// 0.0722); `studioRange`: luma 16..235 and chroma 16..240, else 0..255.
YuvMatrix yuvMatrix(double kr, double kb, bool studioRange, bool chromaOnEvenColumns);

// Converts the rows [rowFrom, rowTo) of a BGRx picture of layout.width x
// layout.height (rowFrom even; rowTo even or the height) into the planes at
// `out`. An odd last row or column counts twice in its chroma sample.
void convertBgrxRows(const std::uint8_t* bgrx, std::size_t bgrxStride, const I420Layout& layout,
                     const YuvMatrix& matrix, int rowFrom, int rowTo, std::uint8_t* out);

class I420Converter {
public:
    I420Converter(const I420Layout& layout, const YuvMatrix& matrix);

    // Converts a frame into `out` (layout.size bytes): the row pairs that
    // changed since the previous call are converted, the others copied from
    // `previous`, what the previous call wrote (null: convert every row).
    // Returns how many row pairs were converted.
    int convert(const std::uint8_t* bgrx, std::size_t bgrxStride, std::uint8_t* out,
                const std::uint8_t* previous);

private:
    void copyPair(int row, const std::uint8_t* from, std::uint8_t* to) const;

    I420Layout m_layout;
    YuvMatrix m_matrix;
    std::vector<std::uint8_t> m_bgrx;  // the previous frame, packed rows
    bool m_first = true;
};

}  // namespace orba
