#include "peak_memory.h"

#include <malloc.h>
#include <sys/resource.h>
#include <unistd.h>

#include <fstream>

bool ResetPeakMemory() {
    ::malloc_trim(0);
    std::ofstream clearRefs("/proc/self/clear_refs");
    clearRefs << "5";  // "reset the peak resident set size"
    clearRefs.flush();
    return static_cast<bool>(clearRefs);
}

std::int64_t PeakMemoryBytes() {
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    return static_cast<std::int64_t>(usage.ru_maxrss) * 1024;
}

std::int64_t ResidentBytes() {
    std::ifstream statm("/proc/self/statm");
    std::int64_t size = 0;
    std::int64_t resident = 0;
    statm >> size >> resident;
    return resident * ::sysconf(_SC_PAGESIZE);
}
