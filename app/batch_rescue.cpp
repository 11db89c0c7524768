#include "app/batch_rescue.h"

#include <sys/stat.h>
#include <unistd.h>

#include <fstream>

#include "common/paths.h"
#include "common/time_text.h"
#include "common/utf.h"
#include "persistence/batch_file_writer.h"

namespace {

// One name a line, appended at every rescue.
constexpr const char* kListName = "rescued.txt";
constexpr int kTimeDigitsSelector = 3;

bool IsTaken(const std::string& path) {
    struct stat status {};
    return lstat(path.c_str(), &status) == 0;
}

std::string FreeName(const std::string& folder, const STLedgermill& batch) {
    const std::string stem = Utf16ToUtf8(FormatTime(kTimeDigitsSelector, batch.m_time));
    std::string name = stem + ".hdb";
    for (int number = 2; IsTaken(folder + name); ++number) {
        name = stem + "-" + std::to_string(number) + ".hdb";
    }
    return name;
}

}  // namespace

STRescue RescueBatches(const std::vector<const STLedgermill*>& batches, const std::string& folder) {
    STRescue rescue;
    if (batches.empty()) {
        return rescue;
    }
    CreateDirectoryTree(Utf8ToUtf16(folder));
    for (const STLedgermill* batch : batches) {
        const std::string name = FreeName(folder, *batch);
        if (SaveBatchFile(folder + name, *batch)) {
            rescue.m_written.push_back(name);
        } else {
            rescue.m_failed.push_back(Utf16ToUtf8(FormatTime(0, batch->m_time)));
        }
    }
    std::ofstream list(folder + kListName, std::ios::app);
    for (const std::string& name : rescue.m_written) {
        list << name << '\n';
    }
    return rescue;
}

std::vector<std::string> TakeRescuedBatchNames(const std::string& folder) {
    const std::string listPath = folder + kListName;
    std::vector<std::string> names;
    std::ifstream list(listPath);
    for (std::string name; std::getline(list, name);) {
        if (!name.empty()) {
            names.push_back(name);
        }
    }
    unlink(listPath.c_str());
    return names;
}
