#pragma once

#include <chrono>
#include <vector>

// The figures benchmarks print from their runs.
namespace BenchStats {

template<typename Duration>
double ms(Duration d)
{
    return std::chrono::duration<double, std::milli>(d).count();
}

// The middle value, or 0 for none.
double median(std::vector<double> values);
// The largest value, or 0 for none.
double maximum(const std::vector<double> &values);

} // namespace BenchStats
