// Batches in and out of the archive. Every statement takes its values as
// bound parameters, never as SQL text, whatever names and fields hold.
#pragma once

#include <QSqlDatabase>
#include <string>
#include <string_view>

#include "model/ledgermill.h"

// Who archived a batch: the testing station and its operator.
struct STArchiveOrigin {
    std::u16string m_strStation;
    std::u16string m_strOperator;
};

// The key a batch is archived under: its creation time, "2016-05-04 10:20:30".
std::u16string ArchiveKey(const STLedgermill& batch);

// Writes the batch in one transaction. A batch the station archived before
// under the same key is replaced whole, so archiving twice never doubles it.
// False, failure saying why, with the archive as it was.
bool ArchiveBatch(QSqlDatabase& database, const STLedgermill& batch, const STArchiveOrigin& origin,
                  std::string& failure);

// The same within a transaction the caller holds, which it rolls back on
// failure.
bool WriteArchivedBatch(QSqlDatabase& database, const STLedgermill& batch, const STArchiveOrigin& origin,
                        std::string& failure);

// The batch the station archived under key ("2016-05-04 10:20:30"), its
// figures worked out again from the readings. False when there is none or it
// cannot be read; failure then says why, empty for none.
bool LoadArchivedBatch(QSqlDatabase& database, std::u16string_view station, std::u16string_view key,
                       STLedgermill& batch, std::string& failure);
// The same with who archived it.
bool LoadArchivedBatch(QSqlDatabase& database, std::u16string_view station, std::u16string_view key,
                       STLedgermill& batch, STArchiveOrigin& origin, std::string& failure);
