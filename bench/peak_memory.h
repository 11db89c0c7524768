// Peak memory of one benchmark case. The kernel's high-water mark of the
// resident set (getrusage's ru_maxrss) only ever grows in a process, so it is
// reset to the present size before each case.
#pragma once

#include <cstdint>

// Returns freed heap to the system, then resets the high-water mark; false
// when the kernel does not allow it (the figures then cover the whole run).
bool ResetPeakMemory();

// The resident set's high-water mark, in bytes.
std::int64_t PeakMemoryBytes();

// The resident set now, in bytes.
std::int64_t ResidentBytes();
