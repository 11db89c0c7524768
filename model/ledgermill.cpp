#include "model/ledgermill.h"

#include <algorithm>
#include <ctime>
#include <utility>

#include "model/statistics.h"

STLedgermill::STLedgermill() : m_time(std::time(nullptr)) {}

STLedgermill::STLedgermill(const STLedgermill& other)
    : m_nTestModel(other.m_nTestModel),
      m_nTestMethod(other.m_nTestMethod),
      m_dUpperLimit(other.m_dUpperLimit),
      m_dLowerLimit(other.m_dLowerLimit),
      m_bUseLimit(other.m_bUseLimit),
      m_dMax(other.m_dMax),
      m_dMin(other.m_dMin),
      m_dAverage(other.m_dAverage),
      m_dStandardDeviation(other.m_dStandardDeviation),
      m_time(other.m_time) {
    m_itemVector.reserve(other.m_itemVector.size());
    for (const auto& item : other.m_itemVector) {
        m_itemVector.push_back(std::make_unique<STLedgermillItem>(*item));
    }
}

STLedgermill& STLedgermill::operator=(const STLedgermill& other) {
    if (this != &other) {
        STLedgermill copy(other);
        *this = std::move(copy);
    }
    return *this;
}

void STLedgermill::AddItem(std::unique_ptr<STLedgermillItem> item) {
    if (item) {
        m_itemVector.push_back(std::move(item));
    }
}

void STLedgermill::RemoveItem(const STLedgermillItem* item) {
    const auto match = std::find_if(m_itemVector.begin(), m_itemVector.end(),
                                    [item](const auto& owned) { return owned.get() == item; });
    if (match != m_itemVector.end()) {
        m_itemVector.erase(match);
    }
    UpdateStatistics();
}

void STLedgermill::UpdateStatistics() {
    const STStatistics figures =
        ComputeStatistics(m_itemVector, [](const auto& item) { return item->m_dAverage; });
    m_dMax = figures.m_dMax;
    m_dMin = figures.m_dMin;
    m_dAverage = figures.m_dAverage;
    m_dStandardDeviation = figures.m_dStandardDeviation;
}

bool STLedgermill::IsPass(const STLedgermillItem& item) const {
    if (!m_bUseLimit) {
        return true;
    }
    const bool outside = item.m_dAverage < m_dLowerLimit || item.m_dAverage > m_dUpperLimit;
    return !outside;
}
