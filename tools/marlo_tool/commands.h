// The commands of marlo-tool. Each takes the arguments after its name and
// returns the exit code.
#pragma once

#include <string>
#include <string_view>

#include "model/ledgermill.h"
#include "tools/marlo_tool/arguments.h"

// A file operand "-" is the standard input or output; report writes two
// files and takes none for its workbook, pdf takes none for its document.
inline constexpr std::string_view kImportUsage =
    "marlo-tool import --model batch|average --method leeb|uci "
    "[--limits LOW HIGH | --no-limits] [--time EPOCH] CAPTURE|- OUT.hdb|-";
inline constexpr std::string_view kShowUsage = "marlo-tool show FILE.hdb|-";
inline constexpr std::string_view kCsvUsage =
    "marlo-tool csv FILE.hdb|- [OUT.csv|-] [--delimiter CHAR] [--decimal-comma] [--per-reading] [--bom]";
inline constexpr std::string_view kChartUsage =
    "marlo-tool chart FILE.hdb|- OUT.bmp|OUT.png|- [--size WxH]";
inline constexpr std::string_view kReportUsage =
    "marlo-tool report FILE.hdb|- OUT.xlsx [--settings Setting.xml]";
inline constexpr std::string_view kPdfUsage = "marlo-tool pdf FILE.hdb|- OUT.pdf [--settings Setting.xml]";

inline constexpr std::string_view kArchiveUsage =
    "marlo-tool archive import|list|show|export [--db ARCHIVE.sqlite|postgresql://USER@HOST:PORT/DATABASE] "
    "[--station NAME] [--operator NAME] [--from EPOCH] [--to EPOCH] [--method leeb|uci] [--name TEXT] "
    "[FILE.hdb... | KEY | KEY OUT.hdb|-]";

int RunImport(Arguments arguments);
int RunArchive(Arguments arguments);
int RunShow(Arguments arguments);
int RunCsv(Arguments arguments);
int RunChart(Arguments arguments);
int RunReport(Arguments arguments);
int RunPdf(Arguments arguments);

// Reads a batch file for show, csv, chart, report and pdf, the standard input
// for "-"; a file that cannot be read or holds no archive prints
// "Load Failed." and gives false.
bool LoadBatch(const std::string& path, STLedgermill& batch);

// Prints the batch as show does.
int ShowBatch(const STLedgermill& batch);
