// Write transactions on either engine. On SQLite one holds the write lock
// from its start (BEGIN IMMEDIATE): a transaction that took it only at its
// first write could find another connection's commit in between and be
// refused at once, where waiting out the busy timeout would have done.
#pragma once

#include <QSqlDatabase>
#include <string>

// Runs one statement without values; false, failure saying why, when it fails.
bool RunStatement(QSqlDatabase& database, const QString& statement, std::string& failure);

bool BeginWriting(QSqlDatabase& database, std::string& failure);
// Commits; on failure rolls back and says why.
bool CommitWriting(QSqlDatabase& database, std::string& failure);
// Undoes whatever the transaction wrote.
void AbandonWriting(QSqlDatabase& database);

bool IsPostgres(const QSqlDatabase& database);
