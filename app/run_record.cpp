#include "app/run_record.h"

#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <sstream>

#include "common/utf.h"
#include "serial/port_lock.h"

namespace fs = std::filesystem;

namespace {

constexpr std::string_view kSuffix = ".run";

// One line per event: "start T", "archived KEY", "saved KEY", "deleted KEY",
// "journal OFFSET PATH", "handled OFFSET". Keys and paths run to the line
// end; a line cut by the end of the process is ignored.
STUncleanRun ReadRun(std::istream& in) {
    STUncleanRun run;
    std::map<std::u16string, bool> unsaved;
    std::vector<std::pair<std::uint64_t, std::string>> journals;
    std::uint64_t handled = 0;
    for (std::string line; std::getline(in, line);) {
        if (in.eof()) {
            break;  // no line end: cut short
        }
        std::istringstream words(line);
        std::string event;
        words >> event;
        std::string rest;
        std::uint64_t number = 0;
        if (event == "start") {
            words >> run.m_start;
        } else if (event == "archived" || event == "saved" || event == "deleted") {
            std::getline(words >> std::ws, rest);
            unsaved[Utf8ToUtf16(rest)] = event == "archived";
        } else if (event == "journal" && words >> number) {
            std::getline(words >> std::ws, rest);
            journals.emplace_back(number, rest);
        } else if (event == "handled" && words >> number) {
            handled = std::max(handled, number);
        }
    }
    for (const auto& [key, isUnsaved] : unsaved) {
        if (isUnsaved) {
            run.m_unsavedBatches.push_back(key);
        }
    }
    for (const auto& [offset, path] : journals) {
        std::error_code error;
        const std::uint64_t size = fs::file_size(path, error);
        const std::uint64_t from = handled > offset ? handled - offset : 0;
        if (!error && from < size) {
            run.m_journals.push_back({path, from});
        }
    }
    return run;
}

}  // namespace

CRunRecord::CRunRecord(std::string folder) {
    std::error_code error;
    fs::create_directories(folder, error);
    m_strPath = folder + "/" + std::to_string(::getpid()) + std::string(kSuffix);
    m_file.open(m_strPath, std::ios::trunc);
    Write("start " + std::to_string(std::time(nullptr)));
}

void CRunRecord::NoteArchived(std::u16string_view key, bool unsaved) {
    Write((unsaved ? "archived " : "saved ") + Utf16ToUtf8(key));
}

void CRunRecord::NoteDeleted(std::u16string_view key) {
    Write("deleted " + Utf16ToUtf8(key));
}

void CRunRecord::NoteJournal(const std::string& path, std::uint64_t offset) {
    if (!path.empty()) {
        Write("journal " + std::to_string(offset) + " " + path);
    }
}

void CRunRecord::NoteHandled(std::uint64_t offset) {
    Write("handled " + std::to_string(offset));
}

void CRunRecord::End() {
    m_file.close();
    std::error_code error;
    fs::remove(m_strPath, error);
}

// Flushed at once: the next start reads what a killed process wrote.
void CRunRecord::Write(const std::string& line) {
    if (m_file.is_open()) {
        m_file << line << '\n' << std::flush;
    }
}

std::vector<STUncleanRun> TakeUncleanRuns(const std::string& folder) {
    std::vector<STUncleanRun> runs;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(folder, error)) {
        const fs::path& path = entry.path();
        if (path.extension() != kSuffix) {
            continue;
        }
        const pid_t pid = static_cast<pid_t>(std::atol(path.stem().c_str()));
        if (ProcessExists(pid)) {
            continue;
        }
        std::ifstream in(path);
        STUncleanRun run = ReadRun(in);
        fs::remove(path, error);
        if (!run.m_unsavedBatches.empty() || !run.m_journals.empty()) {
            runs.push_back(std::move(run));
        }
    }
    std::sort(runs.begin(), runs.end(),
              [](const STUncleanRun& a, const STUncleanRun& b) { return a.m_start < b.m_start; });
    return runs;
}
