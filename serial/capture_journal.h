// A journal of everything the port delivers during one open session: each
// chunk is appended to the file as it arrives, raw and unframed, so the file
// can be replayed as a capture of the session.
//
// Threads: Open and Close on the controlling thread while no Append runs;
// Append on one worker thread; the accessors from any thread (Path changes
// only in Open and Close).
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>

// The flusher syncs at most this often, and this soon after a write.
inline constexpr std::chrono::milliseconds kJournalSyncInterval{1000};

class CCaptureJournal {
public:
    CCaptureJournal() = default;
    ~CCaptureJournal() { Close(); }
    CCaptureJournal(const CCaptureJournal&) = delete;
    CCaptureJournal& operator=(const CCaptureJournal&) = delete;

    // Closes any previous journal, creates folder and its parents, and starts
    // the file <folder>/<YYYY-MM-DD_HHMMSS>_<portName>.cap named after the
    // local time of startTime; a name already taken gets -2, -3, ... before
    // the extension. A '/' in portName becomes '_'. False when the file cannot
    // be made, with the reason in Error.
    bool Open(const std::string& folder, const std::string& portName, std::int64_t startTime);

    // Writes the bytes to the file before returning, so that they survive a
    // crash of the program; the disk sync happens on the journal's own
    // thread. After a failed write the journal is Failed and further appends
    // are dropped; it never throws.
    void Append(const std::uint8_t* bytes, std::size_t count);

    // Stops the flusher, syncs what is left and closes the file. Safe when
    // not open and safe twice; Failed and Error stay until the next Open.
    void Close();

    // The journal file; empty when not open.
    const std::string& Path() const { return m_strPath; }
    std::uint64_t BytesWritten() const { return m_nBytesWritten; }
    // True once creating, writing or syncing the file has failed.
    bool Failed() const { return m_bFailed; }
    // Why it failed, e.g. "write failed: No space left on device".
    std::string Error() const;
    // Data syncs done since Open, by the flusher and by Close.
    std::uint64_t SyncCount() const { return m_nSyncs; }

private:
    void RunFlusher(std::string folder);
    void Sync();
    void Fail(const std::string& reason);

    // The open file; -1 when closed. Set only while no other thread uses it.
    int m_fd = -1;
    std::string m_strPath;
    std::atomic<std::uint64_t> m_nBytesWritten{0};
    std::atomic<std::uint64_t> m_nSyncs{0};
    std::atomic<bool> m_bFailed{false};

    // Guards the error text and the flusher's two flags.
    mutable std::mutex m_mutex;
    std::condition_variable m_wake;
    std::string m_strError;
    // Bytes have been written since the flusher last began a sync.
    bool m_bUnsynced = false;
    bool m_bStopFlusher = false;
    std::thread m_flusher;
};
