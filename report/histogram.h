// The histogram of a batch's report: bins of one width over the item
// averages that take part in the statistics.
#pragma once

#include <cstdint>
#include <vector>

#include "model/ledgermill.h"

// [m_dFrom, m_dTo); the last bin holds its upper edge too.
struct STHistogramBin {
    double m_dFrom = 0;
    double m_dTo = 0;
    std::int64_t m_nCount = 0;
};

// The finite item averages above the statistics' threshold.
std::vector<double> AveragesTakingPart(const STLedgermill& batch);

// At most 20 bins (Sturges' rule) whose edges are multiples of 0.1, so that
// the one-decimal texts of the edges are exact; none without values.
std::vector<STHistogramBin> HistogramOf(const std::vector<double>& values);
