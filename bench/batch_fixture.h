// Batches as a day of testing produces them, and the two ways of saving and
// loading them, for the batch file benchmarks and their whole-process helpers.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "model/ledgermill.h"

// count items, each with the six fields a Leeb tester sends and five
// readings, item and batch figures computed.
STLedgermill TesterBatch(std::size_t count);

// Which code does the work: the archive's tree (CSerializer, the whole file
// in memory) or the streaming batch file reader and writer.
enum class EBatchFileRoute { kTree, kStream };

// Saves the batch as a .hdb file; false when it cannot be written.
bool SaveBatch(const STLedgermill& batch, const std::string& path,
               EBatchFileRoute route = EBatchFileRoute::kStream);

// Loads a .hdb file into a fresh batch; false when it is not an archive.
bool LoadBatch(const std::string& path, STLedgermill& batch,
               EBatchFileRoute route = EBatchFileRoute::kStream);

// Loads a file whose batch is listed already, as the window's Load refuses
// it ("Data Existed."): true when it was refused for its creation time.
bool RefuseListedBatch(const std::string& path, std::int64_t listedTime, EBatchFileRoute route);
