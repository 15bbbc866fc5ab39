// Shrinking a picture for the screen: the size and place it is shown at, and an area-average shrink of
// 32-bit pixels that takes the source a band of rows at a time.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

#include "core/Geometry.h"

namespace velmo {

// Where a picture of size `picture` is shown on a screen of size `screen`: as it is when it fits, otherwise
// shrunk keeping its aspect (rounded to whole pixels) until it fits; never enlarged, never below 1 x 1; centred,
// rounding the margins down. Sides below 1 count as 1.
Rect FitPicture(Size picture, Size screen);

// An area-average shrink: each target pixel is the average of the source area it covers, every source pixel
// weighted by the exact share of it that falls inside, rounded to the nearest value (halves up). Pixels are
// 4 bytes whose 4 channels are averaged alike. The source comes in bands of top-down rows, of any height. The
// shrinker sums each source column down a target row first, then across once the target row is complete; it
// keeps those column sums for two target rows and the weights of the target columns, memory in proportion to
// the source's width, so the whole source never needs to be in memory. Sums are whole numbers, so the result
// does not depend on how the rows are split into bands.
class Shrinker {
public:
    static constexpr int32_t kMaxSide = 1 << 20;

    // Receives each target row, 4 * target.width bytes, as soon as the source rows under it have come, in
    // order from row 0. The pointer is valid during the call only.
    using RowSink = std::function<void(int32_t y, const uint8_t* row)>;

    // Source sides must be 1..kMaxSide; otherwise the shrinker is not Valid() and takes nothing. The target's
    // sides are clamped into 1..the source's.
    Shrinker(Size source, Size target);

    bool Valid() const { return valid_; }
    Size Target() const { return target_; }
    // Source rows taken so far; once it reaches the source height every target row has gone to the sink.
    int32_t RowsTaken() const { return rowsTaken_; }

    // Takes the next `count` source rows, `stride` bytes apart, and hands each target row they complete to
    // `sink`. Rows past the source height are ignored.
    void AddRows(const uint8_t* rows, size_t stride, int32_t count, const RowSink& sink);

private:
    template <typename Column>
    void Take(const uint8_t* row, std::vector<Column>* columns, const RowSink& sink);
    template <typename Column>
    void Emit(int32_t y, const Column* columns, const RowSink& sink);

    bool valid_ = false;
    Size source_;
    Size target_;
    int32_t rowsTaken_ = 0;

    // Lengths in a common unit in which a source pixel is srcUnit* long and a target pixel dstUnit* long.
    uint64_t srcUnitX_ = 1, dstUnitX_ = 1, srcUnitY_ = 1, dstUnitY_ = 1;
    uint64_t total_ = 1;  // the weight of one target pixel: dstUnitX_ * dstUnitY_

    bool narrow_ = false;  // the column sums fit 16 bits
    bool floats_ = false;  // the sums across are whole numbers below 2^24, taken as floats
    bool wide_ = false;    // the sums across need 64 bits

    // Target column i sums the source columns window_[i] to window_[i] + taps_ - 1, source column window_[i] + k
    // times weights_[4 * (taps_ * i + k)] (repeated for the 4 channels; 0 for the columns outside it, and the
    // weights sum to dstUnitX_). weightsF_ holds them instead when floats_.
    int32_t taps_ = 1;
    std::vector<int32_t> window_;
    std::vector<uint32_t> weights_;
    std::vector<float> weightsF_;

    // The sums down each source column, 4 values a column, of the target row being made ([0]) and of the next
    // ([1]), each source row weighted by its share of the target row: 16-bit when narrow_, else 32-bit.
    std::vector<uint16_t> columns16_[2];
    std::vector<uint32_t> columns32_[2];
    std::vector<float> columnsF_;  // the finished column sums as floats, when floats_
    std::vector<uint8_t> out_;     // one finished target row
};

// The whole picture at once: `in` holds `source` rows `inStride` bytes apart, `out` receives `target` (clamped
// as the Shrinker does) rows `outStride` bytes apart. Returns false, writing nothing, when the source is not
// 1..Shrinker::kMaxSide on each side.
bool Shrink(const uint8_t* in, Size source, size_t inStride, uint8_t* out, Size target, size_t outStride);

}  // namespace velmo
