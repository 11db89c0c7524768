// Stores a workbook as an Office Open XML spreadsheet (.xlsx).
#pragma once

#include <string>

#include "report/new_file.h"
#include "report/workbook.h"

// Writes every worksheet with its cells (text, font face, size and colour,
// horizontal alignment, thin borders), merged areas, column widths and
// pictures; chart sheets hold nothing to store and are left out. Text beyond
// Excel's 32767 characters is cut, and characters XML cannot carry become
// U+FFFD. The file appears complete or not at all: it is written beside the
// target under a temporary name and renamed over it. False on any failure
// (a sheet name Excel refuses among them), and then the target is untouched.
bool WriteXlsxFile(const STWorkbook& workbook, const std::string& path);
// The same file, created only where no entry of that name is: an existing
// one is never replaced.
ENewFileResult CreateXlsxFile(const STWorkbook& workbook, const std::string& path);
