// Which other process has a device open, found through the descriptor links
// /proc keeps for every process.
#pragma once

#include <sys/types.h>

#include <optional>
#include <string>

struct STPortHolder {
    pid_t m_nPid = 0;
    // Its command name; empty when unknown.
    std::string m_strName;
};

// The first process other than this one with a descriptor whose link target
// is devicePath, the far end of a pseudo-terminal excepted. Processes whose
// descriptors cannot be read are passed over.
std::optional<STPortHolder> FindPortHolder(const std::string& devicePath,
                                           const std::string& procRoot = "/proc");

// A process's command name (procRoot/<pid>/comm) without the white space
// around it; empty when it cannot be read.
std::string ProcessName(pid_t pid, const std::string& procRoot = "/proc");
