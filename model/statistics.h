// Maximum, minimum, average and sample standard deviation over the values
// that take part: those strictly greater than 10.0. NaN never takes part.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstddef>

constexpr double kValidValueThreshold = 10.0;

constexpr bool IsValidValue(double value) {
    return value > kValidValueThreshold;
}

struct STStatistics {
    double m_dMax = 0.0;
    double m_dMin = 0.0;
    double m_dAverage = 0.0;
    double m_dStandardDeviation = 0.0;
};

// valueOf maps an element of values to the double it contributes; values are
// visited in order and sums accumulate in that order.
template <class Range, class ValueOf>
STStatistics ComputeStatistics(const Range& values, ValueOf valueOf) {
    STStatistics result;
    const auto firstValid = std::find_if(std::begin(values), std::end(values),
                                         [&](const auto& e) { return IsValidValue(valueOf(e)); });
    if (firstValid == std::end(values)) {
        return result;
    }
    result.m_dMax = result.m_dMin = valueOf(*firstValid);

    std::size_t count = 0;
    double sum = 0.0;
    for (const auto& element : values) {
        const double value = valueOf(element);
        if (!IsValidValue(value)) {
            continue;
        }
        result.m_dMin = std::min(result.m_dMin, value);
        result.m_dMax = std::max(result.m_dMax, value);
        ++count;
        sum += value;
    }
    if (count == 1) {
        result.m_dAverage = result.m_dMin = result.m_dMax = sum;
        return result;
    }

    const double average = sum / static_cast<double>(count);
    double squares = 0.0;
    for (const auto& element : values) {
        const double value = valueOf(element);
        if (IsValidValue(value)) {
            squares += (value - average) * (value - average);
        }
    }
    result.m_dAverage = average;
    result.m_dStandardDeviation = std::sqrt(squares / static_cast<double>(count - 1));
    return result;
}
