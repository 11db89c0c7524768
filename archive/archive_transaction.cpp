#include "archive/archive_transaction.h"

#include <QSqlError>
#include <QSqlQuery>

bool RunStatement(QSqlDatabase& database, const QString& statement, std::string& failure) {
    QSqlQuery query(database);
    if (query.exec(statement)) return true;
    failure = query.lastError().text().toStdString();
    return false;
}

bool IsPostgres(const QSqlDatabase& database) {
    return database.driverName() == QStringLiteral("QPSQL");
}

bool BeginWriting(QSqlDatabase& database, std::string& failure) {
    return RunStatement(database, IsPostgres(database) ? QStringLiteral("BEGIN") : QStringLiteral("BEGIN IMMEDIATE"), failure);
}

bool CommitWriting(QSqlDatabase& database, std::string& failure) {
    if (RunStatement(database, QStringLiteral("COMMIT"), failure)) return true;
    AbandonWriting(database);
    return false;
}

void AbandonWriting(QSqlDatabase& database) {
    std::string ignored;  // a transaction that cannot be rolled back is gone already
    RunStatement(database, QStringLiteral("ROLLBACK"), ignored);
}
