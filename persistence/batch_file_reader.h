// Loading a .hdb file as a stream: read in chunks, one item's elements held
// at a time and turned into an STLedgermillItem as the item closes, the
// batch's creation time offered to the caller before the items are read.
// The batch comes out exactly as CSerializer::OpenForRead and ReadBatch give
// it, for damaged files too.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "model/ledgermill.h"
#include "persistence/file_progress.h"

enum class EBatchLoadResult {
    kLoaded,      // the batch holds what the file holds
    kNotArchive,  // unreadable (see m_pFailure), or its first element is not "SerializationObject"
    kCancelled,   // the cancel flag was set
    kRefused,     // m_fnAcceptTime turned the batch's creation time down
};

struct STBatchLoadOptions {
    // Asked once with the creation time the loaded batch will have, as soon
    // as the file's first m_time field of the batch is read (before any item
    // in a file as Save writes it), else at the end with the time the batch
    // keeps. false refuses the file at once. Not asked for a file that is no
    // archive.
    std::function<bool(std::int64_t time)> m_fnAcceptTime;
    // Bytes read of the file's size.
    STFileProgress* m_pProgress = nullptr;
    // Looked at before every chunk.
    const std::atomic<bool>* m_pCancel = nullptr;
    std::size_t m_nChunkBytes = kBatchFileChunkBytes;
    // Set to why, naming the file, when the file could not be opened or read
    // (only a regular file of at most 1 GiB is read; a FIFO is never waited
    // for).
    std::string* m_pFailure = nullptr;
};

// On kLoaded the fields found replace the batch's and the items found are
// appended, as ReadBatch does; an archive holding no batch leaves it as it
// was. On any other result the batch is untouched.
EBatchLoadResult LoadBatchFile(const std::string& path, STLedgermill& batch,
                               const STBatchLoadOptions& options = {});

// The same for bytes in memory, read as a file holding them.
EBatchLoadResult LoadBatchBytes(std::string_view bytes, STLedgermill& batch,
                                const STBatchLoadOptions& options = {});
