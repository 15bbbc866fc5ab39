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
// 4 bytes whose 4 channels are averaged alike. The source comes in bands of top-down rows, of any height; the
// shrinker keeps only accumulators of two target rows, so the whole source never needs to be in memory.
// Sums are whole numbers, so the result does not depend on how the rows are split into bands.
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
    template <typename Sum>
    void SumRow(const uint8_t* row, Sum* sums);
    template <typename Sum>
    void Take(const uint8_t* row, std::vector<Sum>* full, std::vector<Sum>* part, const RowSink& sink);
    template <typename Sum>
    void Emit(int32_t y, std::vector<Sum>& full, std::vector<Sum>& part, const RowSink& sink);

    bool valid_ = false;
    Size source_;
    Size target_;
    int32_t rowsTaken_ = 0;

    // Lengths in a common unit in which a source pixel is srcUnit* long and a target pixel dstUnit* long.
    uint64_t srcUnitX_ = 1, dstUnitX_ = 1, srcUnitY_ = 1, dstUnitY_ = 1;
    uint64_t total_ = 1;  // the weight of one target pixel: dstUnitX_ * dstUnitY_
    double reciprocal_ = 1.0;

    // Target column i takes the source columns first_[i] onwards with the weights weights_[start_[i]] up to
    // weights_[start_[i + 1]] (exclusive); those sum to dstUnitX_.
    std::vector<int32_t> first_;
    std::vector<uint32_t> start_;
    std::vector<uint32_t> weights_;
    // The same weights for the SSE2 sums, when they fit 16 bits: every target column reads the same number of
    // source pixels, pairs_ pairs from windowFirst_[i] on, with zero weights outside its own columns, so that the
    // loops run alike for every column. Pair q of column i weighs two neighbouring pixels with
    // pairWeights_[4 * (i * pairs_ + q)] = w0 | w1 << 16, repeated 4 times.
    uint32_t pairs_ = 0;
    std::vector<int32_t> windowFirst_;
    std::vector<uint32_t> pairWeights_;

    // Target row y sums, 4 values per column, at index y % 2 (rows y and y + 1 take sums at once): `full` the
    // horizontal sums of the source rows wholly inside it, `part` those of the rows it shares, each times its
    // share. Its total is srcUnitY_ * full + part. 32 bits hold the sums unless 255 * total_ does not fit.
    bool wide_ = false;
    std::vector<uint32_t> full32_[2], part32_[2];
    std::vector<uint64_t> full64_[2], part64_[2];
    std::vector<uint32_t> rowSums_;  // a shared source row summed across
    std::vector<uint8_t> out_;       // one finished target row
};

// The whole picture at once: `in` holds `source` rows `inStride` bytes apart, `out` receives `target` (clamped
// as the Shrinker does) rows `outStride` bytes apart. Returns false, writing nothing, when the source is not
// 1..Shrinker::kMaxSide on each side.
bool Shrink(const uint8_t* in, Size source, size_t inStride, uint8_t* out, Size target, size_t outStride);

}  // namespace velmo
