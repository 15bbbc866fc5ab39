// libFuzzer target for the declared-size reader of picture headers: any input gives nothing, a pixel count, or
// kUnreadable; reading past the input or looping without end is what ASan and the run's timeout catch.
#include <cstddef>
#include <cstdint>

#include "core/PictureSize.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    velmo::DeclaredPixels(data, size);
    return 0;
}
