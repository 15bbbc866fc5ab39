// libFuzzer target for the Exif orientation reader: the input read as a JPEG file and as TIFF data. Either
// gives nothing or an orientation 1..8; reading past the input or looping without end is what ASan and the
// run's timeout catch.
#include <cstdlib>
#include <optional>

#include "core/Exif.h"

namespace {

void Check(std::optional<int> orientation) {
    if (orientation && (*orientation < velmo::exif::kMinOrientation || *orientation > velmo::exif::kMaxOrientation))
        std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Check(velmo::exif::JpegOrientation(data, size));
    Check(velmo::exif::TiffOrientation(data, size));
    return 0;
}
