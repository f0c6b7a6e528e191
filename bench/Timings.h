#pragma once
// The figures a benchmark prints: the median of its runs and one line per measure.

#include <algorithm>
#include <cstdio>
#include <vector>

namespace bench {

inline double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

/// "what: median M ms (min A, max B, N runs)".
inline void printTimings(const char* what, const std::vector<double>& ms) {
    std::printf("%s: median %.1f ms (min %.1f, max %.1f, %zu runs)\n", what, median(ms),
                *std::min_element(ms.begin(), ms.end()), *std::max_element(ms.begin(), ms.end()),
                ms.size());
}

} // namespace bench
