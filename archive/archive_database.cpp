#include "archive/archive_database.h"

#include <QSqlError>
#include <QSqlQuery>
#include <atomic>

#include "archive/archive_schema.h"

namespace {

// Every connection needs a name of its own within the process.
QString NewConnectionName() {
    static std::atomic<unsigned> next{0};
    return QStringLiteral("marlo-archive-%1").arg(next++);
}

bool Run(QSqlDatabase& database, const QString& statement, std::string& failure) {
    QSqlQuery query(database);
    if (query.exec(statement)) return true;
    failure = query.lastError().text().toStdString();
    return false;
}

}  // namespace

std::unique_ptr<CArchiveDatabase> CArchiveDatabase::OpenSqlite(const std::string& path, std::string& failure) {
    std::unique_ptr<CArchiveDatabase> archive(new CArchiveDatabase(NewConnectionName()));
    QSqlDatabase database = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), archive->m_strConnection);
    if (!database.isValid()) {
        failure = "the SQLite driver of Qt Sql is not installed";
        return nullptr;
    }
    database.setDatabaseName(QString::fromStdString(path));
    // Reals come back as doubles, not as texts of six significant digits.
    database.setNumericalPrecisionPolicy(QSql::LowPrecisionDouble);
    // Another station's process may hold the write lock for a moment.
    database.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=5000"));
    if (!database.open()) {
        failure = path + ": " + database.lastError().text().toStdString();
        return nullptr;
    }
    // With write-ahead logging, NORMAL syncs at checkpoints only: a power
    // cut may take the last commits, never the archive's consistency, and a
    // batch a second stays cheap.
    if (!Run(database, QStringLiteral("PRAGMA journal_mode=WAL"), failure) ||
        !Run(database, QStringLiteral("PRAGMA synchronous=NORMAL"), failure) ||
        !Run(database, QStringLiteral("PRAGMA foreign_keys=ON"), failure) || !MigrateArchive(database, failure)) {
        failure = path + ": " + failure;
        return nullptr;
    }
    return archive;
}

CArchiveDatabase::~CArchiveDatabase() {
    {
        QSqlDatabase database = QSqlDatabase::database(m_strConnection, false);
        database.close();
    }
    QSqlDatabase::removeDatabase(m_strConnection);
}

QSqlDatabase CArchiveDatabase::Database() const {
    return QSqlDatabase::database(m_strConnection, false);
}
