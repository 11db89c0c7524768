#include "serial/capture_journal.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <ctime>
#include <limits>
#include <system_error>

namespace {

// Far more sessions in one second than a port can open and close.
constexpr int kMostNamesTried = 1000;

// strerror is not thread-safe; the category's message is.
std::string Reason(int error) {
    return std::generic_category().message(error);
}

// Creates each missing folder of the path from the top down; one that exists
// already, made by us or someone else, is fine.
bool CreateFolders(const std::string& folder, std::string& error) {
    std::size_t end = 0;
    while (end != std::string::npos) {
        end = folder.find('/', end + 1);
        const std::string prefix = folder.substr(0, end);
        // Doubled and trailing separators give prefixes already handled.
        if (prefix.empty() || prefix.back() == '/') {
            continue;
        }
        if (::mkdir(prefix.c_str(), 0755) != 0 && errno != EEXIST) {
            error = "cannot create " + prefix + ": " + Reason(errno);
            return false;
        }
    }
    return true;
}

// "2026-12-07_104806" in local time; empty when the time cannot be converted.
std::string LocalStamp(std::int64_t time) {
    if (time < std::numeric_limits<std::time_t>::min() ||
        time > std::numeric_limits<std::time_t>::max()) {
        return {};
    }
    const auto seconds = static_cast<std::time_t>(time);
    std::tm local{};
    std::array<char, 64> text{};
    if (!localtime_r(&seconds, &local)) {
        return {};
    }
    return std::string(text.data(),
                       std::strftime(text.data(), text.size(), "%Y-%m-%d_%H%M%S", &local));
}

// Makes the new directory entry durable, not just the file's data.
void SyncFolder(const std::string& folder) {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);  // best effort: a crash of the program alone loses nothing
        ::close(fd);
    }
}

}  // namespace

bool CCaptureJournal::Open(const std::string& folder, const std::string& portName,
                           std::int64_t startTime) {
    Close();
    {
        const std::lock_guard lock(m_mutex);
        m_strError.clear();
        m_bUnsynced = false;
        m_bStopFlusher = false;
    }
    m_bFailed = false;
    m_nBytesWritten = 0;
    m_nSyncs = 0;

    const std::string directory = folder.empty() || folder.back() == '/' ? folder : folder + "/";
    std::string error;
    if (!CreateFolders(directory, error)) {
        Fail(error);
        return false;
    }
    const std::string stamp = LocalStamp(startTime);
    if (stamp.empty()) {
        Fail("cannot name the journal: no local time for " + std::to_string(startTime));
        return false;
    }
    std::string port = portName;
    std::replace(port.begin(), port.end(), '/', '_');
    const std::string stem = directory + stamp + "_" + port;
    std::string path;
    int fd = -1;
    for (int n = 1; fd < 0; ++n) {
        path = stem + (n > 1 ? "-" + std::to_string(n) : "") + ".cap";
        fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_APPEND | O_CLOEXEC, 0644);
        if (fd < 0 && (errno != EEXIST || n >= kMostNamesTried)) {
            Fail("cannot create " + path + ": " + Reason(errno));
            return false;
        }
    }

    m_fd = fd;
    try {
        m_flusher = std::thread(&CCaptureJournal::RunFlusher, this,
                                directory.empty() ? std::string(".") : directory);
    } catch (const std::system_error& failure) {
        // Without a flusher nothing would reach the disk until Close; better
        // no journal than one that silently is not durable.
        ::close(m_fd);
        m_fd = -1;
        ::unlink(path.c_str());
        Fail(std::string("cannot start the journal's flusher: ") + failure.what());
        return false;
    }
    m_strPath = path;
    return true;
}

void CCaptureJournal::Append(const std::uint8_t* bytes, std::size_t count) {
    if (m_fd < 0 || m_bFailed) {
        return;
    }
    std::size_t done = 0;
    int error = 0;
    while (done < count) {
        const ssize_t written = ::write(m_fd, bytes + done, count - done);
        if (written > 0) {
            done += static_cast<std::size_t>(written);
        } else if (written < 0 && errno == EINTR) {
            continue;
        } else {
            // 0 for a nonzero count means no progress: give up rather than spin.
            error = written < 0 ? errno : EIO;
            break;
        }
    }
    m_nBytesWritten += done;
    if (error != 0) {
        Fail("write failed: " + Reason(error));
    }
    if (done == 0) {
        return;
    }
    bool wasUnsynced = false;
    {
        const std::lock_guard lock(m_mutex);
        wasUnsynced = m_bUnsynced;
        m_bUnsynced = true;
    }
    // The flusher only waits for the flag to go up.
    if (!wasUnsynced) {
        m_wake.notify_one();
    }
}

void CCaptureJournal::Close() {
    if (m_flusher.joinable()) {
        {
            const std::lock_guard lock(m_mutex);
            m_bStopFlusher = true;
        }
        m_wake.notify_one();
        m_flusher.join();
    }
    if (m_fd < 0) {
        return;
    }
    bool unsynced = false;
    {
        const std::lock_guard lock(m_mutex);
        unsynced = m_bUnsynced;
        m_bUnsynced = false;
    }
    if (unsynced) {
        Sync();
    }
    // close can report a write-back error of the file system (NFS); the
    // descriptor is gone either way, so it is never retried.
    if (::close(m_fd) != 0 && errno != EINTR) {
        Fail("close failed: " + Reason(errno));
    }
    m_fd = -1;
    m_strPath.clear();
}

std::string CCaptureJournal::Error() const {
    const std::lock_guard lock(m_mutex);
    return m_strError;
}

void CCaptureJournal::RunFlusher(std::string folder) {
    SyncFolder(folder);
    // The first sync may come at once; each later one waits until an interval
    // after the one before began, so a steady stream costs one sync a second
    // and no byte waits much longer than that.
    auto nextAllowed = std::chrono::steady_clock::now();
    std::unique_lock lock(m_mutex);
    for (;;) {
        m_wake.wait(lock, [this] { return m_bUnsynced || m_bStopFlusher; });
        // Close does the last sync itself, without waiting out the interval.
        if (m_wake.wait_until(lock, nextAllowed, [this] { return m_bStopFlusher; })) {
            return;
        }
        // Cleared before syncing: bytes written during the sync set it again
        // and get a sync of their own.
        m_bUnsynced = false;
        lock.unlock();
        nextAllowed = std::chrono::steady_clock::now() + kJournalSyncInterval;
        Sync();
        lock.lock();
    }
}

void CCaptureJournal::Sync() {
    if (::fdatasync(m_fd) != 0) {
        Fail("sync failed: " + Reason(errno));
    }
    ++m_nSyncs;
}

void CCaptureJournal::Fail(const std::string& reason) {
    const std::lock_guard lock(m_mutex);
    // The first failure is the cause; what follows from it adds nothing.
    if (m_strError.empty()) {
        m_strError = reason;
    }
    m_bFailed = true;
}
