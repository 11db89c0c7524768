// Records that no batch was chosen for, sorted into new batches of their own.
#pragma once

#include <memory>
#include <vector>

#include "model/ledgermill.h"

// Moves each item that a batch can take into a new batch of the first model
// and method that take it (Leeb before UCI, Batch before Average), one batch
// per kind in the order the kinds first occur, each a copy of pattern (an
// empty batch with its limits and time) with its model and method set. Items no batch takes stay in
// items.
std::vector<std::unique_ptr<STLedgermill>> SortIntoNewBatches(LedgermillItemList& items,
                                                              const STLedgermill& pattern);
