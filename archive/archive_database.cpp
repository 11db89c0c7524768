#include "archive/archive_database.h"

#include <QSqlError>
#include <QSqlQuery>
#include <atomic>
#include <filesystem>

#include "archive/archive_schema.h"
#include "archive/archive_transaction.h"

namespace {

// Every connection needs a name of its own within the process.
QString NewConnectionName() {
    static std::atomic<unsigned> next{0};
    return QStringLiteral("marlo-archive-%1").arg(next++);
}

// libpq's own words for a refused or missing password, and where it looks
// for one.
std::string ServerFailure(const STArchiveServer& server, const QSqlError& error) {
    const QString text = error.text();
    const std::string user = server.m_strUser.empty() ? "this login's user" : "user \"" + server.m_strUser + "\"";
    const char* const where = " (Marlo takes it from ~/.pgpass or PGPASSWORD)";
    if (text.contains(QStringLiteral("password authentication failed"))) {
        return ServerUrl(server) + ": the server refused the password of " + user + where;
    }
    if (text.contains(QStringLiteral("no password supplied"))) {
        return ServerUrl(server) + ": the server asks for the password of " + user + " and none was found" + where;
    }
    return ServerUrl(server) + ": " + text.toStdString();
}

}  // namespace

std::unique_ptr<CArchiveDatabase> CArchiveDatabase::OpenServer(const STArchiveServer& server, std::string& failure) {
    std::unique_ptr<CArchiveDatabase> archive(new CArchiveDatabase(NewConnectionName()));
    QSqlDatabase database = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), archive->m_strConnection);
    if (!database.isValid()) {
        failure = "the PostgreSQL driver of Qt Sql is not installed";
        return nullptr;
    }
    database.setHostName(QString::fromStdString(server.m_strHost));
    database.setPort(server.m_nPort);
    database.setDatabaseName(QString::fromStdString(server.m_strDatabase));
    database.setUserName(QString::fromStdString(server.m_strUser));
    database.setNumericalPrecisionPolicy(QSql::LowPrecisionDouble);
    // An unreachable server must not hold a station up for libpq's default
    // of waiting forever.
    database.setConnectOptions(QStringLiteral("connect_timeout=%1;application_name=marlo").arg(kServerConnectSeconds));
    if (!database.open()) {
        failure = ServerFailure(server, database.lastError());
        return nullptr;
    }
    if (!MigrateArchive(database, failure)) {
        failure = ServerUrl(server) + ": " + failure;
        return nullptr;
    }
    return archive;
}

std::unique_ptr<CArchiveDatabase> CArchiveDatabase::Open(std::string_view where, std::string& failure) {
    if (!IsServerUrl(where)) return OpenSqlite(std::string(where), failure);
    const auto server = ParseServerUrl(where, failure);
    if (!server) {
        failure = std::string(where) + ": " + failure;
        return nullptr;
    }
    return OpenServer(*server, failure);
}

std::unique_ptr<CArchiveDatabase> CArchiveDatabase::OpenStation(const std::string& path, std::string& failure) {
    std::error_code ignored;  // opening says what went wrong
    std::filesystem::create_directories(std::filesystem::path(path).parent_path(), ignored);
    return OpenSqlite(path, failure);
}

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
    if (!RunStatement(database, QStringLiteral("PRAGMA journal_mode=WAL"), failure) ||
        !RunStatement(database, QStringLiteral("PRAGMA synchronous=NORMAL"), failure) ||
        !RunStatement(database, QStringLiteral("PRAGMA foreign_keys=ON"), failure) || !MigrateArchive(database, failure)) {
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

bool CArchiveDatabase::IsServer() const {
    return IsPostgres(Database());
}
