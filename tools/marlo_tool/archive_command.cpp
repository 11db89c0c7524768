// archive: batch files into the lab archive, and the archived batches a
// search finds, as JSON.
#include <QCoreApplication>
#include <array>
#include <iostream>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <vector>

#include "archive/archive_database.h"
#include "archive/archive_listing.h"
#include "archive/batch_archive.h"
#include "common/host_identity.h"
#include "common/program_folders.h"
#include "common/time_text.h"
#include "common/utf.h"
#include "tools/marlo_tool/commands.h"

namespace {

using Json = nlohmann::ordered_json;

struct ArchiveOptions {
    std::string m_strSubcommand;
    std::string m_strDatabase;
    STArchiveOrigin m_origin;
    STArchiveFilter m_filter;
    std::vector<std::string> m_files;
};

std::optional<ArchiveOptions> ReadOptions(Arguments arguments) {
    const auto usageError = [](std::string_view problem) {
        ReportUsageError(problem, kArchiveUsage);
        return std::nullopt;
    };
    if (arguments.empty() || (arguments[0] != "import" && arguments[0] != "list")) {
        return usageError("give import or list");
    }
    ArchiveOptions options;
    options.m_strSubcommand = arguments[0];
    options.m_strDatabase = ProgramFolders().m_strArchiveFile;
    options.m_origin.m_strStation = HostName();
    CArgumentReader reader(arguments.subspan(1));
    while (!reader.AtEnd()) {
        const std::string_view argument = reader.Take();
        const auto text = [&reader]() { return reader.TakeValue(); };
        if (argument == "--db") {
            const auto path = text();
            if (!path || path->empty()) return usageError("--db takes the archive's file");
            options.m_strDatabase = *path;
        } else if (argument == "--station") {
            const auto station = text();
            if (!station) return usageError("--station takes a name");
            options.m_origin.m_strStation = Utf8ToUtf16Replacing(*station);
            options.m_filter.m_strStation = options.m_origin.m_strStation;
        } else if (argument == "--operator") {
            const auto name = text();
            if (!name) return usageError("--operator takes a name");
            options.m_origin.m_strOperator = Utf8ToUtf16Replacing(*name);
        } else if (argument == "--from" || argument == "--to") {
            const std::optional<std::int64_t> time = ParseInteger(text());
            if (!time) return usageError(std::string(argument) + " takes seconds since the epoch");
            (argument == "--from" ? options.m_filter.m_oFrom : options.m_filter.m_oTo) = *time;
        } else if (argument == "--method") {
            const std::optional<int> method =
                ParseChoice(text(), {{"leeb", kTestMethodLeeb}, {"uci", kTestMethodUci}});
            if (!method) return usageError("--method takes leeb or uci");
            options.m_filter.m_oMethod = *method;
        } else if (argument == "--name") {
            const auto name = text();
            if (!name) return usageError("--name takes a text");
            options.m_filter.m_strNameText = Utf8ToUtf16Replacing(*name);
        } else if (IsOption(argument)) {
            return usageError("unknown option " + std::string(argument));
        } else {
            options.m_files.emplace_back(argument);
        }
    }
    if (options.m_strSubcommand == "import" && options.m_files.empty()) return usageError("give batch files to import");
    if (options.m_strSubcommand == "list" && !options.m_files.empty()) return usageError("list takes no files");
    return options;
}

int Import(CArchiveDatabase& archive, const ArchiveOptions& options) {
    QSqlDatabase database = archive.Database();
    for (const std::string& file : options.m_files) {
        STLedgermill batch;
        if (!LoadBatch(file, batch)) return kExitFailure;
        std::string failure;
        if (!ArchiveBatch(database, batch, options.m_origin, failure)) {
            return ReportFailure("marlo-tool: cannot archive " + file + ": " + failure);
        }
        std::cout << "archived " << Utf16ToUtf8(FormatTime(0, batch.m_time)) << " from " << file << '\n';
    }
    return kExitSuccess;
}

Json BatchJson(const STArchivedBatch& batch) {
    return {{"station", Utf16ToUtf8(batch.m_strStation)},
            {"key", Utf16ToUtf8(batch.m_strKey)},
            {"time", batch.m_nCreated},
            {"model", batch.m_nTestModel},
            {"method", batch.m_nTestMethod},
            {"lowerLimit", batch.m_dLowerLimit},
            {"upperLimit", batch.m_dUpperLimit},
            {"useLimit", batch.m_bUseLimit},
            {"average", batch.m_dAverage},
            {"standardDeviation", batch.m_dStandardDeviation},
            {"operator", Utf16ToUtf8(batch.m_strOperator)},
            {"items", batch.m_nItems}};
}

int List(CArchiveDatabase& archive, const ArchiveOptions& options) {
    QSqlDatabase database = archive.Database();
    std::vector<STArchivedBatch> batches;
    std::string failure;
    if (!ListArchivedBatches(database, options.m_filter, batches, failure)) {
        return ReportFailure("marlo-tool: cannot read the archive: " + failure);
    }
    Json list = Json::array();
    for (const STArchivedBatch& batch : batches) list.push_back(BatchJson(batch));
    return WriteStandardOutput(list.dump(2, ' ', false, Json::error_handler_t::replace) + '\n');
}

}  // namespace

int RunArchive(Arguments arguments) {
    const std::optional<ArchiveOptions> options = ReadOptions(arguments);
    if (!options) return kExitUsage;
    // Qt Sql finds its drivers through an application.
    int argc = 1;
    std::array<char, 11> name{"marlo-tool"};
    std::array<char*, 2> argv{name.data(), nullptr};
    const QCoreApplication application(argc, argv.data());
    std::string failure;
    const auto archive = CArchiveDatabase::OpenSqlite(options->m_strDatabase, failure);
    if (!archive) return ReportFailure("marlo-tool: cannot open the archive " + failure);
    return options->m_strSubcommand == "import" ? Import(*archive, *options) : List(*archive, *options);
}
