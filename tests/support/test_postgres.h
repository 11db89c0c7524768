// A PostgreSQL server for the archive's tests: the one the test run started
// (MARLO_TEST_POSTGRES names its state file) or, when a test binary runs on
// its own, one it starts itself. Each test takes a database of its own.
#pragma once

#include <unistd.h>

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "archive/archive_server.h"

class CTestPostgres {
public:
    static constexpr const char* kPassword = "marlo-test";

    // A server of the test's own, started at once, stopped when it goes.
    explicit CTestPostgres(std::string stateFile) : m_strState(std::move(stateFile)), m_bOwned(true) {
        m_bRunning = Script("start");
        ReadPort();
    }
    ~CTestPostgres() {
        if (m_bOwned) Script("stop");
    }
    CTestPostgres(const CTestPostgres&) = delete;
    CTestPostgres& operator=(const CTestPostgres&) = delete;

    // The run's server, or this process's own.
    static CTestPostgres& Shared() {
        static CTestPostgres server = [] {
            const char* state = std::getenv("MARLO_TEST_POSTGRES");
            if (state != nullptr && std::filesystem::exists(state)) return CTestPostgres(state, false);
            return CTestPostgres(std::filesystem::temp_directory_path() /
                                 ("marlo-postgres-" + std::to_string(::getpid()) + ".state"));
        }();
        return server;
    }

    bool Running() const { return m_bRunning && m_nPort > 0; }
    int Port() const { return m_nPort; }
    // Stops the server, keeping its data, and starts it again on its port.
    bool Pause() { return Script("pause"); }
    bool Resume() { return Script("resume"); }

    // A new, empty database; its host and port are those of the server,
    // and libpq finds the password in PGPASSWORD.
    STArchiveServer NewDatabase(std::string& failure) {
        ::setenv("PGPASSWORD", kPassword, 1);
        STArchiveServer server{"127.0.0.1", m_nPort, "postgres", "marlo"};
        static std::atomic<int> next{0};
        const std::string name = "test_" + std::to_string(::getpid()) + "_" + std::to_string(next++);
        const QString connection = QString::fromStdString("create-" + name);
        {
            QSqlDatabase admin = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), connection);
            admin.setHostName(QString::fromStdString(server.m_strHost));
            admin.setPort(server.m_nPort);
            admin.setDatabaseName(QStringLiteral("postgres"));
            admin.setUserName(QStringLiteral("marlo"));
            QSqlQuery create(admin);
            if (!admin.open() || !create.exec(QString::fromStdString("CREATE DATABASE " + name))) {
                failure = (admin.isOpen() ? create.lastError() : admin.lastError()).text().toStdString();
            }
        }
        QSqlDatabase::removeDatabase(connection);
        server.m_strDatabase = name;
        return server;
    }

private:
    CTestPostgres(std::string stateFile, bool owned) : m_strState(std::move(stateFile)), m_bOwned(owned) {
        m_bRunning = true;
        ReadPort();
    }

    bool Script(const char* command) const {
        const std::string line = std::string("'" MARLO_POSTGRES_TEST_SERVER "' ") + command + " '" + m_strState + "'";
        return std::system(line.c_str()) == 0;
    }
    void ReadPort() {
        std::ifstream state(m_strState);
        for (std::string line; std::getline(state, line);) {
            if (line.starts_with("port=")) m_nPort = std::stoi(line.substr(5));
        }
    }

    std::string m_strState;
    bool m_bOwned = false;
    bool m_bRunning = false;
    int m_nPort = 0;
};
