// The settings and batch files as whole files: byte-exact layout, reading
// back, damaged files, and saves that fail part-way.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <fstream>

#include "persistence/batch_file.h"
#include "persistence/batch_file_writer.h"
#include "persistence/serializer.h"
#include "persistence/setting.h"
#include "support/comma_locale.h"
#include "support/temp_folder.h"
#include "support/worked_example.h"

namespace {

std::string Golden(const std::string& name) {
    std::ifstream in(std::string(MARLO_TEST_DATA) + "/" + name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// Both writers of a batch file: the archive's tree and the streaming one.
enum class EBatchWriter { kTree, kStream };

class FilesTest : public TempFolder {
protected:
    void SetUp() override {
        TempFolder::SetUp();
        ResetDefaults(g_stSetting);
    }

    bool SaveBatch(const STLedgermill& batch, const std::string& name,
                   EBatchWriter writer = EBatchWriter::kTree) const {
        if (writer == EBatchWriter::kStream) {
            return SaveBatchFile(PathOf(name), batch);
        }
        CSerializer archive;
        archive.OpenForWrite();
        WriteBatch(batch, archive.GetRoot(), kBatchInstanceName);
        return archive.SaveFile(PathOf(name));
    }

    // ReadBatch into a new default batch; false when the file is unusable.
    bool LoadBatch(const std::string& name, STLedgermill& batch) const {
        CSerializer archive;
        if (!archive.OpenForRead(PathOf(name))) {
            return false;
        }
        ReadBatch(archive.GetRoot(), kBatchInstanceName, batch);
        return true;
    }
};

// A save replaces the file whole or not at all, whichever writer makes it.
class BatchFileReplacement : public FilesTest, public testing::WithParamInterface<EBatchWriter> {
protected:
    bool Save(const STLedgermill& batch, const std::string& name) const {
        return SaveBatch(batch, name, GetParam());
    }
};

}  // namespace

TEST_F(FilesTest, BatchFileIsWrittenByteForByte) {
    ASSERT_TRUE(SaveBatch(WorkedExampleBatch(), "example.hdb"));
    EXPECT_EQ(ReadBytes("example.hdb"), Golden("worked_example.hdb"));
}

TEST_F(FilesTest, BatchFileReadsBackExactlyAndKeepsStoredFigures) {
    std::string golden = Golden("worked_example.hdb");
    golden.replace(golden.find("445.000000"), 10, "999.000000");  // batch m_dMax
    WriteBytes("example.hdb", golden);
    STLedgermill batch;
    ASSERT_TRUE(LoadBatch("example.hdb", batch));
    EXPECT_EQ(batch.m_nTestMethod, 1);
    EXPECT_EQ(batch.m_dLowerLimit, 400);
    EXPECT_EQ(batch.m_dMax, 999);
    EXPECT_EQ(batch.m_time, 1450000000);
    ASSERT_EQ(batch.m_itemVector.size(), 1u);
    const STLedgermillItem& item = *batch.m_itemVector[0];
    EXPECT_EQ(item.m_subItem, (SubItemMap{{u"NAME", u"T1"}}));
    EXPECT_EQ(item.m_values, (std::vector<double>{440, 450}));
    EXPECT_EQ(item.m_dStandardDeviation, 7.071068);
}

TEST_F(FilesTest, DamagedBatchFilesKeepDefaultsOrFail) {
    std::string golden = Golden("worked_example.hdb");
    const auto timeStart = golden.find("\t\t<m_time");
    golden.erase(timeStart, golden.find("</m_time>") + 11 - timeStart);
    WriteBytes("no-time.hdb", golden);
    STLedgermill batch;
    const std::int64_t now = batch.m_time;
    ASSERT_TRUE(LoadBatch("no-time.hdb", batch));
    EXPECT_EQ(batch.m_time, now);
    EXPECT_EQ(batch.m_itemVector.size(), 1u);

    WriteBytes("other-root.hdb", "<serializationobject>\r\n</serializationobject>\r\n");
    WriteBytes("empty.hdb", "");
    WriteBytes("no-batch.hdb", "<SerializationObject>\r\n</SerializationObject>\r\n");
    STLedgermill untouched;
    EXPECT_FALSE(LoadBatch("other-root.hdb", untouched));
    EXPECT_FALSE(LoadBatch("empty.hdb", untouched));
    EXPECT_FALSE(LoadBatch("missing.hdb", untouched));
    EXPECT_TRUE(LoadBatch("no-batch.hdb", untouched));
    EXPECT_EQ(untouched.m_dUpperLimit, 100.0);
}

TEST_F(FilesTest, DefaultSettingsFileIsWrittenByteForByte) {
    ASSERT_TRUE(SaveSettings(PathOf("Setting.xml")));
    EXPECT_EQ(ReadBytes("Setting.xml"), Golden("default_setting.xml"));
    EXPECT_EQ(SettingsFilePath().substr(SettingsFilePath().rfind('/')), "/Setting.xml");
}

TEST_F(FilesTest, SettingsReadBackAndKeepDefaultsForMissingFields) {
    g_stSetting.m_nCom = 7;
    g_stSetting.m_ucParity = 3;
    g_stSetting.m_ucSize = 0;
    g_stSetting.m_strOperator = u"Zoë \U0001F600 & <co>";
    g_stSetting.m_dSamplingRate = 12.5;
    ASSERT_TRUE(SaveSettings(PathOf("Setting.xml")));
    ResetDefaults(g_stSetting);
    LoadSettings(PathOf("Setting.xml"));
    EXPECT_EQ(g_stSetting.m_nCom, 7);
    EXPECT_EQ(g_stSetting.m_ucParity, 3);
    EXPECT_EQ(g_stSetting.m_ucSize, 0);
    EXPECT_EQ(g_stSetting.m_strOperator, u"Zoë \U0001F600 & <co>");
    EXPECT_EQ(g_stSetting.m_dSamplingRate, 12.5);

    std::string edited = Golden("default_setting.xml");
    const auto baudStart = edited.find("\t\t<m_ulBaudRate");
    edited.erase(baudStart, edited.find("</m_ulBaudRate>") + 17 - baudStart);
    edited.replace(edited.find("\x08"), 1, "7");
    edited.replace(edited.find("5400690074006C0065004F006E0065000000"), 4, "5a00");
    edited.replace(edited.find("<m_nCom class = \"int\">\r\n\t\t\t1"), 28,
                   "<m_nCom class = \"int\">\r\n\t\t\t4");
    WriteBytes("Setting.xml", edited);
    LoadSettings(PathOf("Setting.xml"));
    EXPECT_EQ(g_stSetting.m_ulBaudRate, 115200u);            // missing: the value before
    EXPECT_EQ(g_stSetting.m_ucSize, 55);                     // the character code of '7'
    EXPECT_EQ(g_stSetting.m_strTitleOne, u"\u0050itleOne");  // 'a' counts 0: 0x50
    EXPECT_EQ(g_stSetting.m_nCom, 4);
}

TEST_F(FilesTest, ForeignOrMissingSettingsFileGivesDefaults) {
    g_stSetting.m_nCom = 9;
    EXPECT_TRUE(LoadSettings(PathOf("missing.xml")).m_bWritable);  // a first run
    EXPECT_EQ(g_stSetting.m_nCom, 1);
    g_stSetting.m_nCom = 9;
    WriteBytes("foreign.xml", "<settings><m_nCom>5</m_nCom></settings>");
    const STSettingsRead foreign = LoadSettings(PathOf("foreign.xml"));
    EXPECT_FALSE(foreign.m_bWritable);  // someone's file: never written over
    EXPECT_EQ(foreign.m_strFailure, PathOf("foreign.xml") + ": not a settings file");
    EXPECT_EQ(g_stSetting.m_nCom, 1);
    // A FIFO is not waited for.
    ASSERT_EQ(::mkfifo(PathOf("fifo.xml").c_str(), 0600), 0);
    EXPECT_EQ(LoadSettings(PathOf("fifo.xml")).m_strFailure,
              PathOf("fifo.xml") + ": not a regular file");
    g_stSetting.m_nCom = 9;
    WriteBytes("empty-root.xml", "<SerializationObject></SerializationObject>");
    LoadSettings(PathOf("empty-root.xml"));
    EXPECT_EQ(g_stSetting.m_nCom, 9);  // no record: nothing changes
}

TEST_F(FilesTest, FilesStayTheSameUnderCommaDecimalLocale) {
    CommaDecimalLocale locale;
    REQUIRE_COMMA_LOCALE(locale);
    ASSERT_TRUE(SaveSettings(PathOf("Setting.xml")));
    EXPECT_EQ(ReadBytes("Setting.xml"), Golden("default_setting.xml"));
    g_stSetting.m_dUpperLimit = 1.0;
    LoadSettings(PathOf("Setting.xml"));
    EXPECT_EQ(g_stSetting.m_dUpperLimit, 3000.0);
}

TEST_P(BatchFileReplacement, FailedSaveLeavesThePreviousFileIntact) {
    ASSERT_TRUE(Save(WorkedExampleBatch(), "batch.hdb"));
    const std::string before = ReadBytes("batch.hdb");
    STLedgermill large = WorkedExampleBatch();
    for (int i = 0; i < 2000; ++i) {
        large.AddItem(std::make_unique<STLedgermillItem>(*large.m_itemVector[0]));
    }

    // A file-size limit in a child process: the write fails part-way.
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{4096, 4096};
        setrlimit(RLIMIT_FSIZE, &limit);
        _exit(Save(large, "batch.hdb") ? 0 : 3);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 3) << status;
    EXPECT_EQ(ReadBytes("batch.hdb"), before);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(m_root), {}), 1);

    // Interrupted: the limit's signal kills the process in the middle.
    const pid_t killed = fork();
    ASSERT_GE(killed, 0);
    if (killed == 0) {
        const rlimit limit{4096, 4096};
        setrlimit(RLIMIT_FSIZE, &limit);
        Save(large, "batch.hdb");
        _exit(0);
    }
    ASSERT_EQ(waitpid(killed, &status, 0), killed);
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGXFSZ) << status;
    EXPECT_EQ(ReadBytes("batch.hdb"), before);

    EXPECT_FALSE(Save(large, "missing-folder/batch.hdb"));
    ASSERT_TRUE(Save(large, "batch.hdb"));
    EXPECT_GT(ReadBytes("batch.hdb").size(), before.size());
}

TEST_P(BatchFileReplacement, SaveReplacesTheTargetOfALinkAndKeepsItsMode) {
    ASSERT_TRUE(Save(WorkedExampleBatch(), "real.hdb"));
    std::filesystem::permissions(m_root / "real.hdb", std::filesystem::perms(0640));
    std::filesystem::create_symlink(m_root / "real.hdb", m_root / "link.hdb");
    STLedgermill changed = WorkedExampleBatch();
    changed.m_nTestModel = 1;
    ASSERT_TRUE(Save(changed, "link.hdb"));
    EXPECT_TRUE(std::filesystem::is_symlink(m_root / "link.hdb"));
    STLedgermill read;
    ASSERT_TRUE(LoadBatch("real.hdb", read));
    EXPECT_EQ(read.m_nTestModel, 1);
    EXPECT_EQ(std::filesystem::status(m_root / "real.hdb").permissions(),
              std::filesystem::perms(0640));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(m_root), {}), 2);
}

INSTANTIATE_TEST_SUITE_P(Writers, BatchFileReplacement,
                         testing::Values(EBatchWriter::kTree, EBatchWriter::kStream),
                         [](const testing::TestParamInfo<EBatchWriter>& writer) {
                             return writer.param == EBatchWriter::kTree ? "Tree" : "Stream";
                         });
