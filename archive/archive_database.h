// One open connection to the lab archive. The SQLite file is created when
// missing, written ahead (WAL) so that readers never wait for a writer, and
// its schema is brought up to date on opening.
#pragma once

#include <QSqlDatabase>
#include <QString>
#include <memory>
#include <string>

class CArchiveDatabase {
public:
    // The archive at path; null with failure saying why when it cannot be
    // opened or brought up to date.
    static std::unique_ptr<CArchiveDatabase> OpenSqlite(const std::string& path, std::string& failure);
    ~CArchiveDatabase();
    CArchiveDatabase(const CArchiveDatabase&) = delete;
    CArchiveDatabase& operator=(const CArchiveDatabase&) = delete;

    // For the thread that opened it only, as every Qt Sql connection.
    QSqlDatabase Database() const;

private:
    explicit CArchiveDatabase(QString connection) : m_strConnection(std::move(connection)) {}

    QString m_strConnection;
};
