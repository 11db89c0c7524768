#include "persistence/archive_token_stream.h"

#include <algorithm>
#include <cstring>
#include <utility>

CArchiveTokenStream::CArchiveTokenStream(Source source, std::size_t chunkBytes,
                                         const std::atomic<bool>* cancel,
                                         STFileProgress* progress)
    : m_source(std::move(source)),
      m_nChunkBytes(std::max<std::size_t>(chunkBytes, 1)),
      m_pCancel(cancel),
      m_pProgress(progress) {}

bool CArchiveTokenStream::Next(std::string_view& token) {
    for (;;) {
        const char* base = m_buffer.data();
        const void* found = std::memchr(base + m_nScanned, '<', m_nFilled - m_nScanned);
        if (found != nullptr) {
            const auto at = static_cast<std::size_t>(static_cast<const char*>(found) - base);
            const bool hadToken = std::exchange(m_bInToken, true);
            token = std::string_view(base + m_nStart, at - m_nStart);
            m_nStart = m_nScanned = at + 1;
            if (hadToken) {
                return true;
            }
            continue;
        }
        m_nScanned = m_nFilled;
        if (!m_bInToken) {
            m_nStart = m_nFilled;  // text before the first '<' is dropped
        }
        if (!ReadChunk()) {
            if (m_bFailed || m_bCancelled || !m_bInToken || m_bLastGiven) {
                return false;
            }
            m_bLastGiven = true;
            token = std::string_view(m_buffer.data() + m_nStart, m_nFilled - m_nStart);
            return true;
        }
    }
}

bool CArchiveTokenStream::ReadChunk() {
    if (m_bEnded) {
        return false;
    }
    if (m_pCancel != nullptr && m_pCancel->load(std::memory_order_relaxed)) {
        m_bCancelled = m_bEnded = true;
        return false;
    }
    if (m_nStart > 0) {
        std::memmove(m_buffer.data(), m_buffer.data() + m_nStart, m_nFilled - m_nStart);
        m_nFilled -= m_nStart;
        m_nScanned -= m_nStart;
        m_nStart = 0;
    }
    if (m_buffer.size() < m_nFilled + m_nChunkBytes) {
        m_buffer.resize(m_nFilled + m_nChunkBytes);
    }
    const std::ptrdiff_t got = m_source(m_buffer.data() + m_nFilled, m_nChunkBytes);
    if (got <= 0) {
        m_bFailed = got < 0;
        m_bEnded = true;
        return false;
    }
    m_nFilled += static_cast<std::size_t>(got);
    m_nRead += static_cast<std::uint64_t>(got);
    if (m_pProgress != nullptr) {
        m_pProgress->m_nDone.store(m_nRead, std::memory_order_relaxed);
    }
    return true;
}
