// UUCP lock files, as serial programs on Linux keep them (minicom, lockdev):
// <folder>/LCK..<device> holds the PID of the program that has the line, so
// that programs honouring the convention never open it at the same time.
#pragma once

#include <sys/types.h>

#include <string>
#include <string_view>

// The lock file's name for a device: LCK.. and the path without its leading
// /dev/, every further '/' made '_' ("/dev/pts/3" gives "LCK..pts_3").
std::string LockFileName(std::string_view devicePath);

// Whether a process of that PID runs, under any user.
bool ProcessExists(pid_t pid);

// The PID a lock file's text holds: "%10d\n" as written, or a plain number
// with white space around it; 0 when it holds none.
pid_t ParseLockPid(std::string_view text);

enum class ELockResult {
    kTaken,        // created, holding this process's PID
    kOurs,         // already holds this process's PID; left as it is
    kHeld,         // held by another process that still runs
    kUnavailable,  // no lock can be made here; the line goes without one
};

struct STLockAttempt {
    ELockResult m_eResult = ELockResult::kUnavailable;
    // The owner, for kHeld.
    pid_t m_nHolder = 0;
};

// Creates lockPath holding this process's PID. A lock whose owner has gone is
// stale: it is removed and the lock created once more.
STLockAttempt TakePortLock(const std::string& lockPath);

// Removes lockPath when it still holds this process's PID.
void ReleasePortLock(const std::string& lockPath);
