// Batches with unsaved changes, written to a folder of their own when the
// program is ended by a signal or by the session, and the list of them that
// the next start tells the operator about.
#pragma once

#include <string>
#include <vector>

#include "model/ledgermill.h"

struct STRescue {
    // The files written, by name within the folder.
    std::vector<std::string> m_written;
    // The batches that could not be written, by creation time.
    std::vector<std::string> m_failed;
};

// Writes each batch into folder (created when missing) as
// "<14-digit creation time>.hdb", or "-2", "-3"... when that name is taken,
// and adds the names to the folder's list of batches not yet told about.
STRescue RescueBatches(const std::vector<const STLedgermill*>& batches, const std::string& folder);

// The names on the folder's list, oldest first; the list is emptied, so each
// rescue is told once.
std::vector<std::string> TakeRescuedBatchNames(const std::string& folder);
