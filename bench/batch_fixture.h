// Batches as a day of testing produces them, for the batch file benchmarks
// and their whole-process helpers.
#pragma once

#include <cstddef>
#include <string>

#include "model/ledgermill.h"

// count items, each with the six fields a Leeb tester sends and five
// readings, item and batch figures computed.
STLedgermill TesterBatch(std::size_t count);

// Saves the batch as a .hdb file; false when it cannot be written.
bool SaveBatch(const STLedgermill& batch, const std::string& path);

// Loads a .hdb file into a fresh batch; false when it is not an archive or
// holds no batch.
bool LoadBatch(const std::string& path, STLedgermill& batch);
