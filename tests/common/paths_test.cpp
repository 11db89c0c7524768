#include "common/paths.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

#include "common/utf.h"
#include "support/temp_folder.h"

namespace fs = std::filesystem;

namespace {

class PathsTest : public TempFolder {
protected:
    std::u16string Wide(const fs::path& path) const { return Utf8ToUtf16(path.string()); }
    std::u16string Folder() const { return Wide(m_root) + u"/"; }
    void Touch(const std::string& name) const { WriteBytes(name, "x"); }
};

}  // namespace

TEST(ModuleDirectory, IsTheFolderOfTheRunningTest) {
    const std::string folder = GetModuleDirectory();
    ASSERT_FALSE(folder.empty());
    EXPECT_EQ(folder.back(), '/');
    EXPECT_TRUE(fs::exists(fs::path(folder) / "common_tests"));
    EXPECT_EQ(GetModuleDirectoryW(), Utf8ToUtf16(folder));
}

TEST(Utf, BytesThatAreNotUtf8SurviveARoundTrip) {
    const std::string bytes = "a\xE9\xFF\xC3\xA9\xF0\x9F\x98\x80\xED\xA0\x80\xC0\xAF";
    const std::u16string wide = Utf8ToUtf16(bytes);
    EXPECT_EQ(wide.substr(0, 3), (std::u16string{u'a', 0xDCE9, 0xDCFF}));
    EXPECT_EQ(wide.substr(3, 3), u"é\U0001F600");
    EXPECT_EQ(Utf16ToUtf8(wide), bytes);
    EXPECT_EQ(Utf16ToUtf8(std::u16string{0xD800, u'x'}), "\xEF\xBF\xBDx");
}

TEST_F(PathsTest, IsDirectoryWithAndWithoutTrailingSeparator) {
    Touch("file");
    EXPECT_TRUE(IsDirectory(Wide(m_root)));
    EXPECT_TRUE(IsDirectory(Folder()));
    EXPECT_FALSE(IsDirectory(Folder() + u"file"));
    EXPECT_FALSE(IsDirectory(Folder() + u"missing"));
    EXPECT_FALSE(IsDirectory(u""));
}

TEST_F(PathsTest, CreateDirectoryTreeMakesMissingParents) {
    const std::u16string deep = Folder() + u"Tools/Result";
    EXPECT_NE(CreateDirectoryTree(deep), 0);
    EXPECT_TRUE(fs::is_directory(m_root / "Tools" / "Result"));
    EXPECT_EQ(CreateDirectoryTree(deep + u"/"), 1);
    EXPECT_NE(CreateDirectoryTree(Folder() + u"Tools//Other/"), 0);
    EXPECT_NE(CreateDirectoryTree(Folder() + u"Ünïcode \xDCFF"), 0);
    EXPECT_TRUE(fs::is_directory(m_root / "Ünïcode \xFF"));
}

TEST_F(PathsTest, CreateDirectoryTreeRefusesRelativePathsAndReportsFailure) {
    EXPECT_EQ(CreateDirectoryTree(u"Result/"), 0);
    EXPECT_EQ(CreateDirectoryTree(u""), 0);
    EXPECT_FALSE(fs::exists("Result"));
    Touch("file");
    EXPECT_EQ(CreateDirectoryTree(Folder() + u"file/sub"), 0);
    if (geteuid() != 0) {  // root writes anywhere
        fs::permissions(m_root, fs::perms::owner_write, fs::perm_options::remove);
        EXPECT_EQ(CreateDirectoryTree(Folder() + u"locked/sub"), 0);
    }
}

TEST_F(PathsTest, DeleteFilesByExtensionMatchesCaseInsensitivelyAndSkipsFolders) {
    for (const char* name : {"a.bmp", "B.BMP", "a.bmpx", "a.png", "abmp"}) {
        Touch(name);
    }
    fs::create_directory(m_root / "old.bmp");
    EXPECT_EQ(DeleteFilesByExtension(u"bmp", Folder()), 2);
    EXPECT_FALSE(fs::exists(m_root / "a.bmp"));
    EXPECT_FALSE(fs::exists(m_root / "B.BMP"));
    for (const char* kept : {"a.bmpx", "a.png", "abmp", "old.bmp"}) {
        EXPECT_TRUE(fs::exists(m_root / kept)) << kept;
    }
    EXPECT_EQ(DeleteFilesByExtension(u"bmp", Folder()), 0);
}

TEST_F(PathsTest, DeleteFilesByExtensionReportsUnreadableFolder) {
    EXPECT_EQ(DeleteFilesByExtension(u"bmp", Folder() + u"missing/"), -1);
}
