// The tokens of an archive read chunk by chunk, as CXmlParser cuts a whole
// text: the stretches between one '<' and the next, the last running to the
// end, whatever stands before the first '<' dropped. A token split between
// chunks is joined, so only the current chunk and the token being cut are
// held. CR LF pairs are left as they are: they never touch a '<' or '>', so
// the reader collapses them in just the names and texts it keeps.
#pragma once

#include <atomic>
#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

#include "persistence/file_progress.h"

class CArchiveTokenStream {
public:
    // Fills buffer with up to capacity bytes and returns their count: 0 at
    // the end, negative when reading failed.
    using Source = std::function<std::ptrdiff_t(char* buffer, std::size_t capacity)>;

    // cancel is looked at before every chunk; progress, when given, counts
    // the bytes read in m_nDone.
    CArchiveTokenStream(Source source, std::size_t chunkBytes, const std::atomic<bool>* cancel,
                        STFileProgress* progress);

    // The next token, valid until the next call; false when there is none
    // left, reading failed or cancel was set.
    bool Next(std::string_view& token);
    bool Failed() const { return m_bFailed; }
    bool Cancelled() const { return m_bCancelled; }

private:
    // Drops the bytes before the token being cut and appends a chunk; false
    // at the end, on a failure and on cancel.
    bool ReadChunk();

    Source m_source;
    std::size_t m_nChunkBytes;
    const std::atomic<bool>* m_pCancel;
    STFileProgress* m_pProgress;
    std::string m_buffer;
    std::size_t m_nFilled = 0;   // bytes of m_buffer read from the source
    std::size_t m_nStart = 0;    // where the token being cut begins
    std::size_t m_nScanned = 0;  // no '<' stands before this after m_nStart
    std::uint64_t m_nRead = 0;
    bool m_bInToken = false;  // the first '<' has been seen
    bool m_bEnded = false;
    bool m_bLastGiven = false;
    bool m_bFailed = false;
    bool m_bCancelled = false;
};
