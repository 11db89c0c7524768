// File names that are not UTF-8 between QString and bytes, and the F5 dump
// written where a link may have been planted.
#include "app/path_bytes.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <QFile>
#include <filesystem>

#include "app/receive_dump.h"
#include "app/window_state.h"
#include "support/temp_folder.h"

using namespace std::string_literals;

namespace {

class PathBytes : public TempFolder {
protected:
    bool IsLink(const std::string& name) const {
        return std::filesystem::is_symlink(std::filesystem::symlink_status(m_root / name));
    }
    std::size_t Entries() const {
        return static_cast<std::size_t>(
            std::distance(std::filesystem::directory_iterator(m_root), {}));
    }
};

}  // namespace

TEST_F(PathBytes, NamesThatAreNotUtf8RoundTripWhereQtsOwnConversionLosesThem) {
    for (const std::string name : {"/data/c\xFFx.bmp", "/data/\xC3\xA9t\xC3.hdb", "plain", "\xED\xA0\x80"}) {
        EXPECT_EQ(::PathBytes(PathText(name)), name);
    }
    EXPECT_NE(QFile::encodeName(QFile::decodeName("c\xFFx")).toStdString(), "c\xFFx");
    EXPECT_EQ(PathText("\xC3\xA9"), QString(QChar(0xE9)));
}

TEST_F(PathBytes, AChosenNameShownWithReplacementCharactersFindsItsEntry) {
    std::filesystem::create_directory(m_root / "d\xFF");
    WriteBytes("d\xFF/b\xFE.hdb", "x");
    const QString shown = QFile::decodeName(QByteArray::fromStdString(PathOf("d\xFF/b\xFE.hdb")));
    EXPECT_EQ(ChosenPathBytes(shown), PathOf("d\xFF/b\xFE.hdb"));
    // A new file's name in such a folder: the folder is found, the name kept.
    const QString fresh = QFile::decodeName(QByteArray::fromStdString(PathOf("d\xFF/new.hdb")));
    EXPECT_EQ(ChosenPathBytes(fresh), PathOf("d\xFF/new.hdb"));
    // Two entries Qt shows alike: neither is guessed, the folder still is.
    WriteBytes("d\xFF/b\xFD.hdb", "y");
    EXPECT_EQ(ChosenPathBytes(shown), PathOf("d\xFF/b\xEF\xBF\xBD.hdb"));
}

TEST_F(PathBytes, TheDumpReplacesAPlantedLinkAndWritesNothingItPointsAt) {
    WriteBytes("victim", "precious");
    const std::string dump = PathOf("aafff.txt");
    ASSERT_EQ(::symlink(PathOf("victim").c_str(), dump.c_str()), 0);
    // Where a temporary beside the file might be looked for.
    ASSERT_EQ(::symlink(PathOf("victim").c_str(), (dump + ".tmp").c_str()), 0);
    ASSERT_EQ(::symlink(PathOf("victim").c_str(), PathOf(".marlo-XXXXXX").c_str()), 0);

    const std::string bytes = "A:1\r\n\0\xFF"s;
    EXPECT_TRUE(WriteReceiveDump(dump, bytes).isEmpty());
    EXPECT_EQ(ReadBytes("victim"), "precious");
    EXPECT_FALSE(IsLink("aafff.txt"));
    EXPECT_EQ(ReadBytes("aafff.txt"), bytes);
    EXPECT_TRUE(IsLink("aafff.txt.tmp"));
    EXPECT_TRUE(IsLink(".marlo-XXXXXX"));
    EXPECT_EQ(Entries(), 4u);  // no temporary stays

    EXPECT_TRUE(WriteReceiveDump(dump, "").isEmpty());
    EXPECT_EQ(ReadBytes("aafff.txt"), "");
    const QString failure = WriteReceiveDump(PathOf("missing/aafff.txt"), bytes);
    EXPECT_TRUE(failure.startsWith(PathText(PathOf("missing/aafff.txt")) + QStringLiteral(": ")));
    EXPECT_FALSE(std::filesystem::exists(m_root / "missing"));
}

TEST_F(PathBytes, TheDumpGoesToTheHomeFolderAsItsBytesName) {
    const QByteArray home = qgetenv("HOME");
    qputenv("HOME", QByteArray::fromStdString(PathOf("h\xFF")));
    EXPECT_EQ(ReceiveDumpPath(), PathOf("h\xFF") + "/aafff.txt");
    qputenv("HOME", home);
}

TEST_F(PathBytes, ADroppedFilesUrlGivesTheNamesBytes) {
    EXPECT_EQ(DroppedPathBytes(QUrl(QStringLiteral("file:///data/c%FFx%20y.hdb"))), "/data/c\xFFx y.hdb");
    EXPECT_EQ(DroppedPathBytes(QUrl::fromLocalFile(QStringLiteral("/data/\u00E9.hdb"))), "/data/\xC3\xA9.hdb");
    EXPECT_EQ(DroppedPathBytes(QUrl(QStringLiteral("https://example.org/a.hdb"))), "");
}

TEST_F(PathBytes, ARecentFileKeepsItsBytesAcrossRuns) {
    const QString state = QString::fromStdString(PathOf("state.ini"));
    CWindowState(state, QString()).RememberFile(PathText(PathOf("c\xFF.hdb")));
    const QStringList recent = CWindowState(state, QString()).RecentFiles();
    ASSERT_EQ(recent.size(), 1);
    EXPECT_EQ(::PathBytes(recent.front()), PathOf("c\xFF.hdb"));
}
