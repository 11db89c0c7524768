// archive: batch files into the lab archive, the archived batches a search
// finds as JSON, one archived batch shown or written as a batch file. The
// archive is the station's SQLite file or the lab's PostgreSQL server.
#include <unistd.h>

#include <QCoreApplication>
#include <algorithm>
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
#include "persistence/batch_file_writer.h"
#include "tools/marlo_tool/commands.h"
#include "tools/marlo_tool/file_operands.h"

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
    static constexpr std::array<std::string_view, 4> kSubcommands{"import", "list", "show", "export"};
    if (arguments.empty() || std::find(kSubcommands.begin(), kSubcommands.end(), arguments[0]) == kSubcommands.end()) {
        return usageError("give import, list, show or export");
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
            if (!path || path->empty()) return usageError("--db takes the archive's file or postgresql:// URL");
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
    const std::string& subcommand = options.m_strSubcommand;
    const std::size_t operands = options.m_files.size();
    if (subcommand == "import" && operands == 0) return usageError("give batch files to import");
    if (subcommand == "list" && operands != 0) return usageError("list takes no files");
    if (subcommand == "show" && operands != 1) return usageError("show takes the batch's key");
    if (subcommand == "export" && operands != 2) return usageError("export takes the batch's key and a file");
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

// The batch the station archived under the key of the first operand.
bool LoadArchived(CArchiveDatabase& archive, const ArchiveOptions& options, STLedgermill& batch) {
    QSqlDatabase database = archive.Database();
    const std::string& key = options.m_files.front();
    std::string failure;
    if (LoadArchivedBatch(database, options.m_origin.m_strStation, Utf8ToUtf16Replacing(key), batch, failure)) {
        return true;
    }
    ReportFailure(failure.empty() ? "marlo-tool: the archive holds no batch " + key + " of station " +
                                        Utf16ToUtf8(options.m_origin.m_strStation)
                                  : "marlo-tool: cannot read the archive: " + failure);
    return false;
}

int Show(CArchiveDatabase& archive, const ArchiveOptions& options) {
    STLedgermill batch;
    return LoadArchived(archive, options, batch) ? ShowBatch(batch) : kExitFailure;
}

int Export(CArchiveDatabase& archive, const ArchiveOptions& options) {
    STLedgermill batch;
    if (!LoadArchived(archive, options, batch)) return kExitFailure;
    const std::string& output = options.m_files.back();
    const bool written =
        IsStandardStream(output) ? WriteBatchStream(STDOUT_FILENO, batch) : SaveBatchFile(output, batch);
    return written ? kExitSuccess : ReportWriteFailure(output);
}

int Run(CArchiveDatabase& archive, const ArchiveOptions& options) {
    const std::string& subcommand = options.m_strSubcommand;
    if (subcommand == "import") return Import(archive, options);
    if (subcommand == "list") return List(archive, options);
    if (subcommand == "show") return Show(archive, options);
    return Export(archive, options);
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
    // The user's own archive is made on first use, its folder with it.
    const auto archive = options->m_strDatabase == ProgramFolders().m_strArchiveFile
                             ? CArchiveDatabase::OpenStation(options->m_strDatabase, failure)
                             : CArchiveDatabase::Open(options->m_strDatabase, failure);
    if (!archive) return ReportFailure("marlo-tool: cannot open the archive " + failure);
    return Run(*archive, *options);
}
