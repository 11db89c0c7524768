#include "report/histogram.h"

#include <algorithm>
#include <cmath>

#include "model/statistics.h"

namespace {

constexpr std::size_t kMaxBins = 20;
// Edges are counted in tenths; this much below a whole tenth still counts as
// it, so that 439.9 * 10 lands on 4399.
constexpr double kTenthSlack = 1e-6;

std::size_t SturgesBins(std::size_t values) {
    const auto bins =
        static_cast<std::size_t>(std::ceil(std::log2(static_cast<double>(values)))) + 1;
    return std::clamp<std::size_t>(bins, 1, kMaxBins);
}

}  // namespace

std::vector<double> AveragesTakingPart(const STLedgermill& batch) {
    std::vector<double> values;
    for (const auto& item : batch.m_itemVector) {
        if (IsValidValue(item->m_dAverage) && std::isfinite(item->m_dAverage))
            values.push_back(item->m_dAverage);
    }
    return values;
}

std::vector<STHistogramBin> HistogramOf(const std::vector<double>& values) {
    if (values.empty())
        return {};
    const auto [lowest, highest] = std::minmax_element(values.begin(), values.end());
    const double firstTenth = std::floor(*lowest * 10 + kTenthSlack);
    const double spanTenths = *highest * 10 - firstTenth;
    const std::size_t wanted = SturgesBins(values.size());
    const double widthTenths =
        std::max(1.0, std::ceil(spanTenths / static_cast<double>(wanted) - kTenthSlack));
    const std::size_t count = std::min(
        wanted, static_cast<std::size_t>(std::floor(spanTenths / widthTenths + kTenthSlack)) + 1);

    std::vector<STHistogramBin> bins(count);
    for (std::size_t index = 0; index < count; ++index) {
        bins[index].m_dFrom = (firstTenth + static_cast<double>(index) * widthTenths) / 10;
        bins[index].m_dTo = (firstTenth + static_cast<double>(index + 1) * widthTenths) / 10;
    }
    for (const double value : values) {
        const double place = std::floor((value * 10 - firstTenth) / widthTenths + kTenthSlack);
        const auto index =
            static_cast<std::size_t>(std::clamp(place, 0.0, static_cast<double>(count - 1)));
        ++bins[index].m_nCount;
    }
    return bins;
}
