#include "instrument/capability.h"

#include <algorithm>
#include <cmath>
#include <set>

#include "common/number_text.h"
#include "instrument/record_keys.h"
#include "model/statistics.h"

namespace {

// Items mostly repeat the scale before them: only a change is looked up.
std::vector<std::u16string> ScalesOf(const STLedgermill& batch) {
    std::set<std::u16string, std::less<>> scales;
    std::u16string_view previous;
    for (const auto& item : batch.m_itemVector) {
        const auto scale = item->m_subItem.find(kKeyHardnessScale);
        if (scale == item->m_subItem.end() || scale->second.empty() || scale->second == previous) {
            continue;
        }
        previous = scale->second;
        if (!scales.contains(previous)) {
            scales.emplace(previous);
        }
    }
    return {scales.begin(), scales.end()};
}

std::size_t ValuesTakingPart(const STLedgermill& batch) {
    return static_cast<std::size_t>(
        std::count_if(batch.m_itemVector.begin(), batch.m_itemVector.end(),
                      [](const auto& item) { return IsValidValue(item->m_dAverage); }));
}

std::optional<double> Finite(double value) {
    return std::isfinite(value) ? std::optional(value) : std::nullopt;
}

}  // namespace

STCapability ComputeCapability(const STLedgermill& batch) {
    STCapability capability;
    capability.m_scales = ScalesOf(batch);
    const std::size_t items = batch.m_itemVector.size();
    for (const auto& item : batch.m_itemVector) {
        capability.m_nNg += batch.IsPass(*item) ? 0 : 1;
    }
    if (items > 0) {
        capability.m_oPassRate = static_cast<double>(static_cast<std::int64_t>(items) - capability.m_nNg) /
                                 static_cast<double>(items);
    }
    const double s = batch.m_dStandardDeviation;
    const bool defined = batch.m_bUseLimit && !capability.HasMixedScales() &&
                         ValuesTakingPart(batch) >= 2 && std::isfinite(s) &&
                         s > kZeroDeviation * std::abs(batch.m_dAverage);
    if (defined) {
        const double upper = batch.m_dUpperLimit;
        const double lower = batch.m_dLowerLimit;
        const double average = batch.m_dAverage;
        capability.m_oCp = Finite((upper - lower) / (6 * s));
        capability.m_oCpk = Finite(std::min(upper - average, average - lower) / (3 * s));
    }
    return capability;
}

std::u16string MixedScalesText(const STCapability& capability) {
    if (!capability.HasMixedScales()) {
        return {};
    }
    std::u16string text = u"mixed scales: ";
    for (std::size_t at = 0; at < capability.m_scales.size(); ++at) {
        text += (at == 0 ? u"" : u", ") + capability.m_scales[at];
    }
    return text;
}

std::u16string CapabilityIndexText(const std::optional<double>& index) {
    return index ? FixedText(*index, 2) : u"-";
}

std::u16string PassRateText(const std::optional<double>& rate) {
    return rate ? FixedText(*rate * 100, 1) + u"%" : u"-";
}
