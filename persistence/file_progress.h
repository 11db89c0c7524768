// How far a long save or load of a batch file has come, for another thread
// (the window's status line) to show while the work goes on.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>

struct STFileProgress {
    std::atomic<std::uint64_t> m_nDone{0};   // items written, or bytes read
    std::atomic<std::uint64_t> m_nTotal{0};  // items of the batch, or bytes of the file
};

// What a batch file save buffers and a load reads at a time.
inline constexpr std::size_t kBatchFileChunkBytes = std::size_t{1} << 20;
