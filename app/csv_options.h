// The CSV form for the user's locale, shared by every CSV the window writes.
#pragma once

#include "report/batch_csv.h"

// The locale's decimal mark decides the delimiter and the numbers' form; the
// byte-order mark makes spreadsheets read the arrows as UTF-8. perReading:
// one row per reading rather than per item.
STCsvOptions CsvOptionsOfLocale(bool perReading);
