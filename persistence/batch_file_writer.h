// Saving a batch as a .hdb file straight from the batch: the same bytes as
// the archive's tree (CSerializer, WriteBatch, SaveFile) gives, written
// through a bounded buffer without building the tree or the file's text.
#pragma once

#include <cstddef>
#include <string>

#include "model/ledgermill.h"
#include "persistence/file_progress.h"

// Replaces the file at path whole or not at all (ReplaceFile: synced, the old
// file's mode kept, a symbolic link still naming its file). progress, when
// given, counts the items written of the batch's items. False when the file
// could not be written; path is then as it was.
bool SaveBatchFile(const std::string& path, const STLedgermill& batch,
                   STFileProgress* progress = nullptr,
                   std::size_t bufferBytes = kBatchFileChunkBytes);

// The same bytes, written to fd (standard output, a pipe) as they are made;
// false, errno saying why, when a write fails.
bool WriteBatchStream(int fd, const STLedgermill& batch);
