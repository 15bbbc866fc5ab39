// Figures of the timing drivers: durations in milliseconds and their medians.
#pragma once

#include <algorithm>
#include <chrono>
#include <vector>

namespace velmo::e2e {

inline double Ms(std::chrono::steady_clock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}

// The median, or -1 for no values.
inline double Median(std::vector<double> values) {
    if (values.empty())
        return -1;
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

}  // namespace velmo::e2e
