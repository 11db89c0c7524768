// The archive's tables, and the migrations that bring an archive of any
// earlier version up to the current one.
#pragma once

#include <QSqlDatabase>
#include <string>

// The schema this build writes; an archive of a later version is refused
// rather than written by code that does not know its tables.
inline constexpr int kArchiveSchemaVersion = 2;

// The archive's version; 0 for an empty database.
int ArchiveSchemaVersion(QSqlDatabase& database);

// Applies every migration above the archive's version, each in a
// transaction of its own, so an interrupted upgrade leaves the last
// complete version. False, failure saying why, when one fails or the
// archive is newer than this build.
bool MigrateArchive(QSqlDatabase& database, std::string& failure);
