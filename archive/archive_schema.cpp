#include "archive/archive_schema.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QStringList>
#include <vector>

namespace {

// Migration n takes an archive from version n - 1 to n. Figures are stored
// as reals for searching and sorting; the readings as their shortest exact
// texts, so that a batch comes back to the bit.
const std::vector<QStringList>& Migrations() {
    static const std::vector<QStringList> migrations{
        {
            QStringLiteral("CREATE TABLE archive_schema (version INTEGER NOT NULL)"),
            QStringLiteral("INSERT INTO archive_schema (version) VALUES (0)"),
            QStringLiteral("CREATE TABLE batches ("
                           " id INTEGER PRIMARY KEY,"
                           " station TEXT NOT NULL,"
                           " batch_key TEXT NOT NULL,"
                           " created INTEGER NOT NULL,"
                           " model INTEGER NOT NULL,"
                           " method INTEGER NOT NULL,"
                           " lower_limit REAL, upper_limit REAL, use_limit INTEGER NOT NULL,"
                           " max REAL, min REAL, average REAL, standard_deviation REAL,"
                           " operator TEXT NOT NULL,"
                           " item_count INTEGER NOT NULL,"
                           " archived INTEGER NOT NULL,"
                           " UNIQUE (station, batch_key))"),
            QStringLiteral("CREATE TABLE items ("
                           " batch_id INTEGER NOT NULL REFERENCES batches (id) ON DELETE CASCADE,"
                           " position INTEGER NOT NULL,"
                           " name TEXT NOT NULL,"
                           " scale TEXT NOT NULL,"
                           " average REAL,"
                           " pass INTEGER NOT NULL,"
                           " readings TEXT NOT NULL,"
                           " fields TEXT NOT NULL,"
                           " PRIMARY KEY (batch_id, position))"),
            QStringLiteral("CREATE INDEX batches_by_time ON batches (created)"),
            QStringLiteral("CREATE INDEX batches_by_method ON batches (method, created)"),
            QStringLiteral("CREATE INDEX items_by_name ON items (name)"),
        },
    };
    return migrations;
}

bool Fail(const QSqlQuery& query, std::string& failure) {
    failure = query.lastError().text().toStdString();
    return false;
}

bool ApplyMigration(QSqlDatabase& database, int version, std::string& failure) {
    if (!database.transaction()) {
        failure = database.lastError().text().toStdString();
        return false;
    }
    QSqlQuery query(database);
    for (const QString& statement : Migrations()[static_cast<std::size_t>(version - 1)]) {
        if (!query.exec(statement)) {
            database.rollback();
            return Fail(query, failure);
        }
    }
    query.prepare(QStringLiteral("UPDATE archive_schema SET version = ?"));
    query.addBindValue(version);
    if (!query.exec()) {
        database.rollback();
        return Fail(query, failure);
    }
    if (!database.commit()) {
        failure = database.lastError().text().toStdString();
        return false;
    }
    return true;
}

}  // namespace

int ArchiveSchemaVersion(QSqlDatabase& database) {
    if (!database.tables().contains(QStringLiteral("archive_schema"))) return 0;
    QSqlQuery query(QStringLiteral("SELECT version FROM archive_schema"), database);
    return query.next() ? query.value(0).toInt() : 0;
}

bool MigrateArchive(QSqlDatabase& database, std::string& failure) {
    const int current = ArchiveSchemaVersion(database);
    if (current > kArchiveSchemaVersion) {
        failure = "the archive is of version " + std::to_string(current) + ", newer than this Marlo knows (" +
                  std::to_string(kArchiveSchemaVersion) + ")";
        return false;
    }
    for (int version = current + 1; version <= kArchiveSchemaVersion; ++version) {
        if (!ApplyMigration(database, version, failure)) return false;
    }
    return true;
}
