#include "core/Shrink.h"

#include <algorithm>
#include <cstring>
#include <numeric>

namespace velmo {

Rect FitPicture(Size picture, Size screen) {
    const int64_t pw = std::max(picture.width, 1);
    const int64_t ph = std::max(picture.height, 1);
    const int64_t sw = std::max(screen.width, 1);
    const int64_t sh = std::max(screen.height, 1);
    int64_t w = pw;
    int64_t h = ph;
    if (pw > sw || ph > sh) {
        // The side that meets the screen first takes the screen's length; the other keeps the aspect, rounded
        // to the nearest pixel (it cannot pass the screen, as its exact length does not).
        if (sw * ph <= sh * pw) {
            w = sw;
            h = std::max<int64_t>(1, (2 * ph * sw + pw) / (2 * pw));
        } else {
            h = sh;
            w = std::max<int64_t>(1, (2 * pw * sh + ph) / (2 * ph));
        }
    }
    return {int32_t((sw - w) / 2), int32_t((sh - h) / 2), int32_t(w), int32_t(h)};
}

Shrinker::Shrinker(Size source, Size target) {
    if (source.width < 1 || source.height < 1 || source.width > kMaxSide || source.height > kMaxSide)
        return;
    valid_ = true;
    source_ = source;
    target_ = {std::clamp(target.width, 1, source.width), std::clamp(target.height, 1, source.height)};

    // Along x, source pixel s covers [s * w, (s + 1) * w) and target pixel i covers [i * W, (i + 1) * W): both
    // span W * w. Dividing by the common factor keeps every weight and sum small.
    const uint64_t gx = std::gcd(uint64_t(source.width), uint64_t(target_.width));
    srcUnitX_ = uint64_t(target_.width) / gx;
    dstUnitX_ = uint64_t(source.width) / gx;
    const uint64_t gy = std::gcd(uint64_t(source.height), uint64_t(target_.height));
    srcUnitY_ = uint64_t(target_.height) / gy;
    dstUnitY_ = uint64_t(source.height) / gy;
    total_ = dstUnitX_ * dstUnitY_;

    // A target pixel is at least as long as a source pixel, so a source pixel falls into at most two.
    for (uint64_t i = 0; i < uint64_t(target_.width); i++) {
        const uint64_t begin = i * dstUnitX_;
        const uint64_t end = begin + dstUnitX_;
        first_.push_back(int32_t(begin / srcUnitX_));
        start_.push_back(uint32_t(weights_.size()));
        for (uint64_t s = begin / srcUnitX_; s * srcUnitX_ < end; s++)
            weights_.push_back(uint32_t(std::min(end, (s + 1) * srcUnitX_) - std::max(begin, s * srcUnitX_)));
    }
    start_.push_back(uint32_t(weights_.size()));

    const size_t values = 4 * size_t(target_.width);
    rowSums_.assign(values, 0);
    sums_[0].assign(values, 0);
    sums_[1].assign(values, 0);
    out_.assign(values, 0);
}

void Shrinker::SumRow(const uint8_t* row) {
    for (size_t i = 0; i + 1 < start_.size(); i++) {
        const uint8_t* p = row + 4 * size_t(first_[i]);
        uint32_t b = 0, g = 0, r = 0, a = 0;
        for (uint32_t k = start_[i]; k < start_[i + 1]; k++, p += 4) {
            const uint32_t weight = weights_[k];
            b += weight * p[0];
            g += weight * p[1];
            r += weight * p[2];
            a += weight * p[3];
        }
        uint32_t* sum = &rowSums_[4 * i];
        sum[0] = b;
        sum[1] = g;
        sum[2] = r;
        sum[3] = a;
    }
}

void Shrinker::Emit(int32_t y, const RowSink& sink) {
    std::vector<uint64_t>& sums = sums_[y % 2];
    const uint64_t half = total_ / 2;
    for (size_t k = 0; k < sums.size(); k++)
        out_[k] = uint8_t((sums[k] + half) / total_);
    std::fill(sums.begin(), sums.end(), 0);
    sink(y, out_.data());
}

void Shrinker::AddRows(const uint8_t* rows, size_t stride, int32_t count, const RowSink& sink) {
    if (!valid_)
        return;
    count = std::min(count, source_.height - rowsTaken_);
    for (int32_t n = 0; n < count; n++, rowsTaken_++) {
        SumRow(rows + size_t(n) * stride);
        // Source row y covers [y * h, (y + 1) * h) and target row j covers [j * H, (j + 1) * H), in the units
        // above; the row gives its share to target row j and what is left to j + 1.
        const uint64_t begin = uint64_t(rowsTaken_) * srcUnitY_;
        const uint64_t end = begin + srcUnitY_;
        const int32_t j = int32_t(begin / dstUnitY_);
        const uint64_t boundary = uint64_t(j + 1) * dstUnitY_;
        const uint64_t here = std::min(end, boundary) - begin;
        const uint64_t next = srcUnitY_ - here;
        std::vector<uint64_t>& sums = sums_[j % 2];
        for (size_t k = 0; k < sums.size(); k++)
            sums[k] += here * rowSums_[k];
        if (next > 0) {
            std::vector<uint64_t>& after = sums_[(j + 1) % 2];
            for (size_t k = 0; k < after.size(); k++)
                after[k] += next * rowSums_[k];
        }
        if (end >= boundary)
            Emit(j, sink);
    }
}

bool Shrink(const uint8_t* in, Size source, size_t inStride, uint8_t* out, Size target, size_t outStride) {
    Shrinker shrinker(source, target);
    if (!shrinker.Valid())
        return false;
    const size_t rowBytes = 4 * size_t(shrinker.Target().width);
    shrinker.AddRows(in, inStride, source.height,
                     [&](int32_t y, const uint8_t* row) { std::memcpy(out + size_t(y) * outStride, row, rowBytes); });
    return true;
}

}  // namespace velmo
