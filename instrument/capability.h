// Process capability of a batch against its limits: Cp and Cpk over the item
// averages that take part in the statistics, the pass rate and the NG count,
// and the hardness scales its items were measured in.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "model/ledgermill.h"

// A standard deviation at most this share of the average is zero: what
// summing equal readings leaves (452.9 ten thousand times gives 3e-11), not
// a spread. Readings carry a tenth at most, so a true spread is millions of
// times larger.
constexpr double kZeroDeviation = 1e-9;

struct STCapability {
    // Undefined (nullopt) with fewer than two values taking part, a standard
    // deviation of 0 within rounding (kZeroDeviation), limits not in use, or
    // items of more than one scale.
    std::optional<double> m_oCp;
    std::optional<double> m_oCpk;
    // Pass items / items; undefined for a batch without items.
    std::optional<double> m_oPassRate;
    std::int64_t m_nNg = 0;
    // The distinct "HD" texts of the items, sorted; empty texts left out.
    std::vector<std::u16string> m_scales;

    bool HasMixedScales() const { return m_scales.size() > 1; }
};

// Cp = (U - L) / 6s and Cpk = min(U - x, x - L) / 3s with the batch's own
// average x and sample standard deviation s as UpdateStatistics left them.
STCapability ComputeCapability(const STLedgermill& batch);

// "mixed scales: HRC, HV" for a batch of more than one scale, else empty.
std::u16string MixedScalesText(const STCapability& capability);

// Cp and Cpk with two decimals, the pass rate as a percentage with one;
// "-" where a figure is undefined.
std::u16string CapabilityIndexText(const std::optional<double>& index);
std::u16string PassRateText(const std::optional<double>& rate);
