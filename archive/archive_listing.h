// The archived batches a search finds: by time, method, model, station and
// the text of their items' names, newest first unless sorted otherwise.
#pragma once

#include <QSqlDatabase>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// What the listing sorts by; the database sorts, so that a large archive
// lists as fast by any column.
enum class EArchiveSort { kTime, kStation, kOperator, kMethod, kModel, kItems, kAverage, kStandardDeviation };

struct STArchiveFilter {
    // Creation times, seconds since the epoch, both inclusive.
    std::optional<std::int64_t> m_oFrom;
    std::optional<std::int64_t> m_oTo;
    std::optional<std::int32_t> m_oMethod;
    std::optional<std::int32_t> m_oModel;
    // Exactly this station, when not empty.
    std::u16string m_strStation;
    // Batches with an item whose NAME contains this text, taken literally
    // (a "%" or "_" is no wildcard) and in any case of ASCII letters, when
    // not empty.
    std::u16string m_strNameText;
    // At most this many rows.
    std::int64_t m_nLimit = 1000;
    EArchiveSort m_eSort = EArchiveSort::kTime;
    bool m_bDescending = true;
};

struct STArchivedBatch {
    std::u16string m_strStation;
    std::u16string m_strKey;
    std::int64_t m_nCreated = 0;
    std::int32_t m_nTestModel = 0;
    std::int32_t m_nTestMethod = 0;
    double m_dLowerLimit = 0.0;
    double m_dUpperLimit = 0.0;
    bool m_bUseLimit = false;
    double m_dAverage = 0.0;
    double m_dStandardDeviation = 0.0;
    std::u16string m_strOperator;
    std::int64_t m_nItems = 0;
};

// False, failure saying why, when the archive cannot be read.
bool ListArchivedBatches(QSqlDatabase& database, const STArchiveFilter& filter, std::vector<STArchivedBatch>& batches,
                         std::string& failure);
