// An .xlsx file as openpyxl reads it, one fact a line (see read_xlsx.py).
#pragma once

#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>

struct PipeCloser {
    void operator()(std::FILE* pipe) const { pclose(pipe); }
};

inline std::string CommandOutput(const std::string& command) {
    std::unique_ptr<std::FILE, PipeCloser> pipe(popen(command.c_str(), "r"));
    std::string output;
    char chunk[4096];
    for (std::size_t got = 0; pipe && (got = std::fread(chunk, 1, sizeof chunk, pipe.get())) > 0;) {
        output.append(chunk, got);
    }
    return pipe && pclose(pipe.release()) == 0 ? output : "command failed";
}

// Read by the system interpreter: the one first on PATH may lack openpyxl.
inline std::string ReadBack(const std::string& path) {
    const auto script = std::filesystem::path(__FILE__).parent_path() / "read_xlsx.py";
    return CommandOutput("/usr/bin/python3 " + script.string() + " '" + path + "'");
}
