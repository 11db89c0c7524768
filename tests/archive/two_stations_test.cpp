// Two stations archiving at the same moment, each its own marlo-tool
// process, into one archive: a SQLite file both reach, and a PostgreSQL
// server.
#include <gtest/gtest.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>

#include <QSqlQuery>
#include <cmath>

#include "archive/archive_database.h"
#include "archive/batch_archive.h"
#include "persistence/batch_file_writer.h"
#include "support/batch_difference.h"
#include "support/temp_folder.h"
#include "support/test_postgres.h"

namespace {

constexpr int kBatches = 30;
constexpr int kItems = 40;

STLedgermill Batch(int number) {
    STLedgermill batch;
    batch.m_time = 1462357230 + number * 60;
    batch.m_nTestMethod = kTestMethodLeeb;
    for (int i = 0; i < kItems; ++i) {
        auto item = std::make_unique<STLedgermillItem>();
        item->m_subItem.emplace(u"NAME", u"P" + std::u16string(1, static_cast<char16_t>(u'A' + i % 26)));
        item->m_subItem.emplace(u"HD", u"HLD");
        item->m_values = {440.0 + number, 450.0 + i * 0.25};
        item->UpdateStatistics();
        batch.AddItem(std::move(item));
    }
    batch.UpdateStatistics();
    return batch;
}

class TwoStations : public TempFolder, public testing::WithParamInterface<bool> {
protected:
    void SetUp() override {
        TempFolder::SetUp();
        if (GetParam()) {
            ASSERT_TRUE(CTestPostgres::Shared().Running());
            std::string failure;
            m_strWhere = ServerUrl(CTestPostgres::Shared().NewDatabase(failure));
            ASSERT_EQ(failure, "");
        } else {
            m_strWhere = PathOf("lab.sqlite");
        }
        for (int number = 0; number < kBatches; ++number) {
            m_files.push_back(PathOf("batch" + std::to_string(number) + ".hdb"));
            ASSERT_TRUE(SaveBatchFile(m_files.back(), Batch(number)));
        }
    }

    // Starts marlo-tool archive import of every file for the station.
    pid_t Import(const std::string& station) {
        std::vector<std::string> arguments{MARLO_TOOL, "archive", "import", "--db", m_strWhere, "--station", station};
        arguments.insert(arguments.end(), m_files.begin(), m_files.end());
        std::vector<char*> pointers;
        for (std::string& argument : arguments) pointers.push_back(argument.data());
        pointers.push_back(nullptr);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
        pid_t child = -1;
        posix_spawn(&child, MARLO_TOOL, &actions, nullptr, pointers.data(), environ);
        posix_spawn_file_actions_destroy(&actions);
        return child;
    }
    static int ExitCode(pid_t child) {
        int status = 0;
        return waitpid(child, &status, 0) == child && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

    std::string m_strWhere;
    std::vector<std::string> m_files;
};

}  // namespace

INSTANTIATE_TEST_SUITE_P(Engines, TwoStations, testing::Values(false, true),
                         [](const auto& engine) { return engine.param ? "PostgreSQL" : "SQLite"; });

// Two stations of their own keep a batch each; two processes of one station
// (a second window, a script) race over the same keys and keep one.
TEST_P(TwoStations, WritingAtOnceLosesAndDoublesNothing) {
    const pid_t first = Import("Line 1");
    const pid_t second = Import("Line 2");
    ASSERT_EQ(ExitCode(first), 0);
    ASSERT_EQ(ExitCode(second), 0);
    const pid_t third = Import("Line 3");
    const pid_t again = Import("Line 3");
    ASSERT_EQ(ExitCode(third), 0);
    ASSERT_EQ(ExitCode(again), 0);

    std::string failure;
    const auto archive = CArchiveDatabase::Open(m_strWhere, failure);
    ASSERT_NE(archive, nullptr) << failure;
    QSqlDatabase database = archive->Database();
    QSqlQuery count(QStringLiteral("SELECT COUNT(*), (SELECT COUNT(*) FROM items) FROM batches"), database);
    ASSERT_TRUE(count.next());
    EXPECT_EQ(count.value(0).toInt(), 3 * kBatches);
    EXPECT_EQ(count.value(1).toInt(), 3 * kBatches * kItems);
    for (const char16_t* station : {u"Line 1", u"Line 2", u"Line 3"}) {
        for (const int number : {0, kBatches - 1}) {
            const STLedgermill batch = Batch(number);
            STLedgermill loaded;
            ASSERT_TRUE(LoadArchivedBatch(database, station, ArchiveKey(batch), loaded, failure)) << failure;
            EXPECT_EQ(BatchDifference(batch, loaded), "");
        }
    }
}
