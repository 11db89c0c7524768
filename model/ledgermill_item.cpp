#include "model/ledgermill_item.h"

#include "model/statistics.h"

void STLedgermillItem::Clear() {
    *this = STLedgermillItem();
}

void STLedgermillItem::UpdateStatistics() {
    const STStatistics figures = ComputeStatistics(m_values, [](double value) { return value; });
    m_dMax = figures.m_dMax;
    m_dMin = figures.m_dMin;
    m_dAverage = figures.m_dAverage;
    m_dStandardDeviation = figures.m_dStandardDeviation;
}
