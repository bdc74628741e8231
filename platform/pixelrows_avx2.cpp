// The row kernels built for AVX2; chosen at run time when the processor has it.
#include "platform/pixelkernels.h"

namespace orba::kernels {

int blendRowAvx2(std::uint32_t* dest, const std::uint32_t* source, int count, int alpha) {
    return blendVector<V256>(dest, source, count, alpha);
}

int addRowAvx2(std::uint32_t* dest, const std::uint32_t* source, int count, int alpha) {
    return addVector<V256>(dest, source, count, alpha);
}

int coverRowAvx2(std::uint32_t* dest, const std::uint8_t* coverage, int count,
                 std::uint32_t pixel) {
    return coverVector<V256>(dest, coverage, count, pixel);
}

}  // namespace orba::kernels
