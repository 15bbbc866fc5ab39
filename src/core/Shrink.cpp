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

    // The sums stay exact whole numbers. Down a source column, the weights of the rows under a target row add up
    // to dstUnitY_ <= kMaxSide = 2^20, so a column's sum, and every partial sum before it, is at most
    // 255 * dstUnitY_ < 2^28: 16 bits hold them when 255 * dstUnitY_ fits, else 32. Across, the weights of a
    // target column add up to dstUnitX_, so a target pixel's sum plus the half added for rounding is at most
    // (255 + 1/2) * total_, with total_ <= 2^40. Below 2^24 that sum and every one on the way are whole numbers
    // that a float holds exactly, and float sums are the fastest; otherwise 32 bits hold it when it fits, else 64.
    narrow_ = 255 * dstUnitY_ <= UINT16_MAX;
    floats_ = 255 * total_ + total_ / 2 < (uint64_t{1} << 24);
    wide_ = 255 * total_ + total_ / 2 > UINT32_MAX;

    // A target pixel is at least as long as a source pixel, so a source pixel falls into at most two. Every
    // target column reads the same number of source columns, taps_, with zero weights past its own, so that the
    // loop across runs alike for every column; the last windows end at the row's end, so no read passes it.
    const auto firstOf = [&](uint64_t i) { return int32_t(i * dstUnitX_ / srcUnitX_); };
    const auto endOf = [&](uint64_t i) { return int32_t(((i + 1) * dstUnitX_ + srcUnitX_ - 1) / srcUnitX_); };
    for (int32_t i = 0; i < target_.width; i++)
        taps_ = std::max(taps_, endOf(i) - firstOf(i));
    for (int32_t i = 0; i < target_.width; i++) {
        const uint64_t begin = uint64_t(i) * dstUnitX_;
        const uint64_t end = begin + dstUnitX_;
        const int32_t window = std::min(firstOf(i), source.width - taps_);
        window_.push_back(window);
        for (int32_t s = window; s < window + taps_; s++) {
            const uint64_t from = std::max(begin, uint64_t(s) * srcUnitX_);
            const uint64_t to = std::min(end, uint64_t(s + 1) * srcUnitX_);
            const uint32_t weight = uint32_t(to > from ? to - from : 0);
            if (floats_)
                weightsF_.insert(weightsF_.end(), 4, float(weight));
            else
                weights_.insert(weights_.end(), 4, weight);
        }
    }

    const size_t values = 4 * size_t(source.width);
    for (int i = 0; i < 2; i++) {
        if (narrow_)
            columns16_[i].assign(values, 0);
        else
            columns32_[i].assign(values, 0);
    }
    if (floats_)
        columnsF_.assign(values, 0);
    out_.assign(4 * size_t(target_.width), 0);
}

namespace {

// The loops down the columns run in blocks of 16 values: at -O2 gcc vectorises a loop only when the vector code
// replaces all of it, that is when its count is a known multiple of the vector's length. __restrict tells it
// that the arrays do not overlap.

// sums[k] += weight * row[k] for k < n.
template <typename Column>
void AddRow(Column* __restrict sums, const uint8_t* __restrict row, Column weight, size_t n) {
    size_t k = 0;
    for (; k + 16 <= n; k += 16) {
        for (size_t i = k; i < k + 16; i++)
            sums[i] += Column(weight * row[i]);
    }
    for (; k < n; k++)
        sums[k] += Column(weight * row[k]);
}

// A row that two target rows share: sums[k] += here * row[k] and next[k] = rest * row[k] for k < n.
template <typename Column>
void SplitRow(Column* __restrict sums,
              Column* __restrict next,
              const uint8_t* __restrict row,
              Column here,
              Column rest,
              size_t n) {
    size_t k = 0;
    for (; k + 16 <= n; k += 16) {
        for (size_t i = k; i < k + 16; i++) {
            sums[i] += Column(here * row[i]);
            next[i] = Column(rest * row[i]);
        }
    }
    for (; k < n; k++) {
        sums[k] += Column(here * row[k]);
        next[k] = Column(rest * row[k]);
    }
}

template <typename Column>
void ToFloats(float* __restrict to, const Column* __restrict from, size_t n) {
    size_t k = 0;
    for (; k + 16 <= n; k += 16) {
        for (size_t i = k; i < k + 16; i++)
            to[i] = float(from[i]);
    }
    for (; k < n; k++)
        to[k] = float(from[k]);
}

// One target row across: out[4 * i + c] = average(half + the sum over k < taps of weights[4 * (taps * i + k) + c]
// times columns[4 * (window[i] + k) + c]), each sum taken as a `Sum`. The weights come 4 times over, one for
// each channel, so that the 4 channels are summed as one vector.
template <typename Sum, typename Column, typename Weight, typename Average>
void SumAcross(const Column* columns,
               const int32_t* window,
               const Weight* weights,
               int32_t taps,
               int32_t width,
               Sum half,
               Average average,
               uint8_t* out) {
    for (int32_t i = 0; i < width; i++, out += 4) {
        const Column* column = columns + 4 * size_t(window[i]);
        Sum b = half, g = half, r = half, a = half;
        for (int32_t k = 0; k < taps; k++, column += 4, weights += 4) {
            b += Sum(weights[0]) * Sum(column[0]);
            g += Sum(weights[1]) * Sum(column[1]);
            r += Sum(weights[2]) * Sum(column[2]);
            a += Sum(weights[3]) * Sum(column[3]);
        }
        out[0] = average(b);
        out[1] = average(g);
        out[2] = average(r);
        out[3] = average(a);
    }
}

}  // namespace

// Sends target row y, the column sums `columns` summed across and divided by total_, to the sink.
template <typename Column>
void Shrinker::Emit(int32_t y, const Column* columns, const RowSink& sink) {
    const uint64_t total = total_;
    if (floats_) {
        // n and total are exact, so n / total rounded to the nearest float is within 2^-17 of the quotient, which
        // is below 256, and no less than its floor; a quotient that is not whole lies at least 1 / total > 2^-17
        // below the next whole number, so truncating the float gives the floor.
        ToFloats(columnsF_.data(), columns, columnsF_.size());
        const float divisor = float(total);
        SumAcross(
            columnsF_.data(), window_.data(), weightsF_.data(), taps_, target_.width, float(total / 2),
            [=](float n) { return uint8_t(int32_t(n / divisor)); }, out_.data());
    } else {
        // floor(n / total) as n times the reciprocal: the product is within 2^-44 of the quotient (n < 2^53,
        // quotient < 256), and a quotient that is not whole lies at least 1 / total > 2^-29 below the next whole
        // number, so adding 2^-30 lifts exact quotients without passing a whole number.
        const double reciprocal = 1.0 / double(total);
        const double lift = 1.0 / double(1 << 30);
        const auto byReciprocal = [=](auto n) { return uint8_t(int32_t(double(n) * reciprocal + lift)); };
        if (!wide_)
            SumAcross(columns, window_.data(), weights_.data(), taps_, target_.width, uint32_t(total / 2), byReciprocal,
                      out_.data());
        else if (total < (uint64_t{1} << 29))
            SumAcross(columns, window_.data(), weights_.data(), taps_, target_.width, total / 2, byReciprocal,
                      out_.data());
        else
            SumAcross(
                columns, window_.data(), weights_.data(), taps_, target_.width, total / 2,
                [=](uint64_t n) { return uint8_t(n / total); }, out_.data());
    }
    sink(y, out_.data());
}

// Source row y covers [y * h, (y + 1) * h) and target row j covers [j * H, (j + 1) * H), in the units above. A
// row wholly inside j adds itself times h to j's column sums, columns[0]; a row that j shares with j + 1 adds its
// share to j's and starts j + 1's, columns[1], with the rest, in one pass. Once j has gone, j + 1's sums take
// its place.
template <typename Column>
void Shrinker::Take(const uint8_t* row, std::vector<Column>* columns, const RowSink& sink) {
    const uint64_t begin = uint64_t(rowsTaken_) * srcUnitY_;
    const uint64_t end = begin + srcUnitY_;
    const int32_t j = int32_t(begin / dstUnitY_);
    const uint64_t boundary = uint64_t(j + 1) * dstUnitY_;
    std::vector<Column>& now = columns[0];
    if (end <= boundary) {
        AddRow(now.data(), row, Column(srcUnitY_), now.size());
        if (end == boundary) {
            Emit(j, now.data(), sink);
            std::fill(now.begin(), now.end(), 0);
        }
        return;
    }
    SplitRow(now.data(), columns[1].data(), row, Column(boundary - begin), Column(end - boundary), now.size());
    Emit(j, now.data(), sink);
    now.swap(columns[1]);
}

void Shrinker::AddRows(const uint8_t* rows, size_t stride, int32_t count, const RowSink& sink) {
    if (!valid_)
        return;
    count = std::min(count, source_.height - rowsTaken_);
    for (int32_t n = 0; n < count; n++, rowsTaken_++) {
        if (narrow_)
            Take(rows + size_t(n) * stride, columns16_, sink);
        else
            Take(rows + size_t(n) * stride, columns32_, sink);
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
