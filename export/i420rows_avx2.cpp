// The row pair conversion built for AVX2; chosen at run time when the
// processor has it.
#include "export/i420rows.h"

namespace orba::i420 {

void convertPairAvx2(const std::uint8_t* row0, const std::uint8_t* row1, int width,
                     const YuvMatrix& m, const PairOut& out) {
    convertPair(row0, row1, width, m, out);
}

}  // namespace orba::i420
