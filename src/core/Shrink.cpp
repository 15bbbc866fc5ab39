#include "core/Shrink.h"

#include <algorithm>
#include <cstring>
#include <numeric>

#if defined(__SSE2__) || defined(_M_X64)
#include <emmintrin.h>
#define VELMO_SHRINK_SSE2 1
#endif

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
#ifdef VELMO_SHRINK_SSE2
    // pmaddwd multiplies signed 16-bit numbers; 255 * 2 * 32767 and every column's sum, at most
    // 255 * dstUnitX_ <= 255 * kMaxSide, fit its signed 32-bit results. The last columns' windows end at the
    // row's end, so no read passes it.
    uint32_t most = 0;
    for (size_t i = 0; i + 1 < start_.size(); i++)
        most = std::max(most, start_[i + 1] - start_[i]);
    const uint32_t pairs = (most + 1) / 2;
    if (srcUnitX_ <= 32767 && 2 * uint64_t(pairs) <= uint64_t(source.width)) {
        pairs_ = pairs;
        for (size_t i = 0; i + 1 < start_.size(); i++) {
            const int32_t window = std::min(first_[i], source.width - int32_t(2 * pairs));
            windowFirst_.push_back(window);
            auto weightOf = [&](int32_t column) -> uint32_t {
                const int32_t k = column - first_[i];
                return k >= 0 && uint32_t(k) < start_[i + 1] - start_[i] ? weights_[start_[i] + uint32_t(k)] : 0;
            };
            for (uint32_t q = 0; q < pairs; q++) {
                const int32_t column = window + int32_t(2 * q);
                pairWeights_.insert(pairWeights_.end(), 4, weightOf(column) | weightOf(column + 1) << 16);
            }
        }
    }
#endif

    const size_t values = 4 * size_t(target_.width);
    wide_ = 255 * total_ > UINT32_MAX;
    for (int i = 0; i < 2; i++) {
        if (wide_) {
            full64_[i].assign(values, 0);
            part64_[i].assign(values, 0);
        } else {
            full32_[i].assign(values, 0);
            part32_[i].assign(values, 0);
        }
    }
    rowSums_.assign(values, 0);
    out_.assign(values, 0);
    reciprocal_ = 1.0 / double(total_);
}

// Adds the source row's horizontal sums to `sums`, 4 per target column; each sum is at most 255 * dstUnitX_.
template <typename Sum>
void Shrinker::SumRow(const uint8_t* row, Sum* sums) {
#ifdef VELMO_SHRINK_SSE2
    if (pairs_ > 0) {
        const __m128i zero = _mm_setzero_si128();
        const __m128i* weights = reinterpret_cast<const __m128i*>(pairWeights_.data());
        for (size_t i = 0; i < windowFirst_.size(); i++, sums += 4) {
            const uint8_t* p = row + 4 * size_t(windowFirst_[i]);
            __m128i sum = zero;
            for (uint32_t q = 0; q < pairs_; q++, p += 8, weights++) {
                // B0 G0 R0 A0 B1 G1 R1 A1 -> B0 B1 G0 G1 R0 R1 A0 A1 as 16-bit numbers: one pmaddwd weighs both
                // pixels and adds them per channel.
                const __m128i two = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(p));
                const __m128i paired = _mm_unpacklo_epi8(_mm_unpacklo_epi8(two, _mm_srli_si128(two, 4)), zero);
                sum = _mm_add_epi32(sum, _mm_madd_epi16(paired, _mm_loadu_si128(weights)));
            }
            if constexpr (sizeof(Sum) == 4) {
                __m128i* to = reinterpret_cast<__m128i*>(sums);
                _mm_storeu_si128(to, _mm_add_epi32(_mm_loadu_si128(to), sum));
            } else {
                uint32_t four[4];
                _mm_storeu_si128(reinterpret_cast<__m128i*>(four), sum);
                for (int c = 0; c < 4; c++)
                    sums[c] += four[c];
            }
        }
        return;
    }
#endif
    for (size_t i = 0; i + 1 < start_.size(); i++, sums += 4) {
        const uint8_t* p = row + 4 * size_t(first_[i]);
        uint32_t b = 0, g = 0, r = 0, a = 0;
        for (uint32_t k = start_[i]; k < start_[i + 1]; k++, p += 4) {
            const uint32_t weight = weights_[k];
            b += weight * p[0];
            g += weight * p[1];
            r += weight * p[2];
            a += weight * p[3];
        }
        sums[0] += b;
        sums[1] += g;
        sums[2] += r;
        sums[3] += a;
    }
}

template <typename Sum>
void Shrinker::Emit(int32_t y, std::vector<Sum>& full, std::vector<Sum>& part, const RowSink& sink) {
    const Sum scale = Sum(srcUnitY_);
    const Sum half = Sum(total_ / 2);
    if (total_ < (uint64_t{1} << 29)) {
        // floor(n / total) as n times the reciprocal: the product is within 2^-44 of the quotient (n < 2^53,
        // quotient < 256), and a quotient that is not whole lies at least 1 / total > 2^-29 below the next
        // whole number, so adding 2^-30 lifts exact quotients without passing a whole number.
        const double lift = 1.0 / double(1 << 30);
        for (size_t k = 0; k < out_.size(); k++)
            out_[k] = uint8_t(int32_t(double(scale * full[k] + part[k] + half) * reciprocal_ + lift));
    } else {
        for (size_t k = 0; k < out_.size(); k++)
            out_[k] = uint8_t((scale * full[k] + part[k] + half) / total_);
    }
    std::fill(full.begin(), full.end(), 0);
    std::fill(part.begin(), part.end(), 0);
    sink(y, out_.data());
}

// Source row y covers [y * h, (y + 1) * h) and target row j covers [j * H, (j + 1) * H), in the units above.
// A row wholly inside j adds its horizontal sums to j's `full`; a row that j shares with j + 1 gives each its
// share of them.
template <typename Sum>
void Shrinker::Take(const uint8_t* row, std::vector<Sum>* full, std::vector<Sum>* part, const RowSink& sink) {
    const uint64_t begin = uint64_t(rowsTaken_) * srcUnitY_;
    const uint64_t end = begin + srcUnitY_;
    const int32_t j = int32_t(begin / dstUnitY_);
    const uint64_t boundary = uint64_t(j + 1) * dstUnitY_;
    const int now = j % 2;
    if (end <= boundary) {
        SumRow(row, full[now].data());
    } else {
        std::fill(rowSums_.begin(), rowSums_.end(), 0);
        SumRow(row, rowSums_.data());
        const Sum here = Sum(std::min(end, boundary) - begin);
        const Sum next = Sum(srcUnitY_) - here;
        std::vector<Sum>& mine = part[now];
        for (size_t k = 0; k < mine.size(); k++)
            mine[k] += here * rowSums_[k];
        if (next > 0) {
            std::vector<Sum>& after = part[1 - now];
            for (size_t k = 0; k < after.size(); k++)
                after[k] += next * rowSums_[k];
        }
    }
    if (end >= boundary)
        Emit(j, full[now], part[now], sink);
}

void Shrinker::AddRows(const uint8_t* rows, size_t stride, int32_t count, const RowSink& sink) {
    if (!valid_)
        return;
    count = std::min(count, source_.height - rowsTaken_);
    for (int32_t n = 0; n < count; n++, rowsTaken_++) {
        if (wide_)
            Take(rows + size_t(n) * stride, full64_, part64_, sink);
        else
            Take(rows + size_t(n) * stride, full32_, part32_, sink);
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
