#include "common/xdg_paths.h"

#include <gtest/gtest.h>
#include <pwd.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <optional>

#include "common/program_folders.h"

namespace {

using Value = std::optional<std::string>;

Value Get(const char* name) {
    const char* value = std::getenv(name);
    return value ? Value(value) : std::nullopt;
}

void Put(const char* name, const Value& value) {
    value ? setenv(name, value->c_str(), 1) : unsetenv(name);
}

}  // namespace

TEST(XdgPaths, DataHomeFollowsTheVariablesInOrder) {
    const Value savedDataHome = Get("XDG_DATA_HOME");
    const Value savedHome = Get("HOME");
    const std::string account = std::string(getpwuid(getuid())->pw_dir) + "/.local/share/";
    const struct {
        Value dataHome, home;
        std::string expected;
    } cases[] = {
        {"/srv/data", "/home/op", "/srv/data/"},
        {"/srv/data/", "/home/op", "/srv/data/"},
        {"relative/data", "/home/op", "/home/op/.local/share/"},
        {"", "/home/op/", "/home/op/.local/share/"},
        {std::nullopt, "/", "/.local/share/"},
        {std::nullopt, "", account},
        {std::nullopt, std::nullopt, account},
    };
    for (const auto& c : cases) {
        Put("XDG_DATA_HOME", c.dataHome);
        Put("HOME", c.home);
        EXPECT_EQ(DataHomeDirectory(), c.expected)
            << c.dataHome.value_or("(unset)") << " " << c.home.value_or("(unset)");
    }
    Put("XDG_DATA_HOME", savedDataHome);
    Put("HOME", savedHome);
}

TEST(XdgPaths, ConfigAndDocumentsFollowTheVariablesAndUserDirs) {
    const Value saved[] = {Get("HOME"), Get("XDG_CONFIG_HOME"), Get("XDG_DOCUMENTS_DIR")};
    const std::string home = ::testing::TempDir() + "xdg_home";
    std::filesystem::create_directories(home + "/.config");
    Put("HOME", home);
    Put("XDG_CONFIG_HOME", std::nullopt);
    Put("XDG_DOCUMENTS_DIR", std::nullopt);
    std::filesystem::remove(home + "/.config/user-dirs.dirs");
    EXPECT_EQ(ConfigHomeDirectory(), home + "/.config/");
    EXPECT_EQ(DocumentsDirectory(), home + "/Documents/");

    const struct {
        std::string line, expected;
    } entries[] = {
        {"XDG_DOCUMENTS_DIR=\"$HOME/Dokumente\"", home + "/Dokumente/"},
        {"XDG_DOCUMENTS_DIR=\"/srv/lab docs\"", "/srv/lab docs/"},
        // The home folder itself means no documents folder is set up.
        {"XDG_DOCUMENTS_DIR=\"$HOME/\"", home + "/Documents/"},
        {"XDG_DOCUMENTS_DIR=\"relative\"", home + "/Documents/"},
        {"# XDG_DOCUMENTS_DIR=\"/commented\"", home + "/Documents/"},
    };
    for (const auto& entry : entries) {
        std::ofstream(home + "/.config/user-dirs.dirs")
            << "XDG_DESKTOP_DIR=\"$HOME/Desktop\"\n" << entry.line << "\n";
        EXPECT_EQ(DocumentsDirectory(), entry.expected) << entry.line;
    }
    Put("XDG_DOCUMENTS_DIR", "/media/usb/docs");
    EXPECT_EQ(DocumentsDirectory(), "/media/usb/docs/");
    Put("XDG_CONFIG_HOME", "/etc/xdg-test");
    EXPECT_EQ(ConfigHomeDirectory(), "/etc/xdg-test/");
    Put("HOME", saved[0]);
    Put("XDG_CONFIG_HOME", saved[1]);
    Put("XDG_DOCUMENTS_DIR", saved[2]);
}

// A copy counts as portable only when its settings file is already there
// and its folder may be written; otherwise everything goes to the user's
// folders.
TEST(ProgramFolders, PortableOnlyWithSettingsInAWritableProgramFolder) {
    const Value saved[] = {Get("HOME"), Get("XDG_CONFIG_HOME"), Get("XDG_DATA_HOME"),
                           Get("XDG_DOCUMENTS_DIR")};
    const std::string root = ::testing::TempDir() + "program_folders/";
    std::filesystem::remove_all(root);
    std::filesystem::create_directories(root + "home");
    std::filesystem::create_directories(root + "bin");
    Put("HOME", root + "home");
    Put("XDG_CONFIG_HOME", std::nullopt);
    Put("XDG_DATA_HOME", std::nullopt);
    Put("XDG_DOCUMENTS_DIR", std::nullopt);

    STProgramFolders installed = ProgramFoldersFor(root + "bin/");
    EXPECT_FALSE(installed.m_bPortable);
    EXPECT_EQ(installed.m_strSettingsFile, root + "home/.config/marlo/Setting.xml");
    EXPECT_EQ(installed.m_strStateFile, root + "home/.config/marlo/Marlo.conf");
    EXPECT_EQ(installed.m_strReportFolder, root + "home/Documents/Marlo/Result/");
    EXPECT_EQ(installed.m_strDocumentFolder, root + "home/Documents/Marlo/");
    EXPECT_EQ(installed.m_strRecoveryFolder, root + "home/.local/share/marlo/recovered/");
    EXPECT_EQ(installed.m_strArchiveFile, root + "home/.local/share/marlo/archive.sqlite");

    std::ofstream(root + "bin/Setting.xml") << "<x/>";
    const STProgramFolders portable = ProgramFoldersFor(root + "bin/");
    EXPECT_TRUE(portable.m_bPortable);
    EXPECT_EQ(portable.m_strSettingsFile, root + "bin/Setting.xml");
    EXPECT_EQ(portable.m_strStateFile, root + "bin/Marlo.conf");
    EXPECT_EQ(portable.m_strReportFolder, root + "bin/Result/");
    EXPECT_EQ(portable.m_strRecoveryFolder, installed.m_strRecoveryFolder);

    // A read-only folder (as /usr/bin is to a user) is not portable even
    // with a settings file in it; root may write anywhere, so this part
    // only holds for other users.
    std::filesystem::permissions(root + "bin", std::filesystem::perms::owner_write,
                                 std::filesystem::perm_options::remove);
    if (geteuid() != 0) {
        EXPECT_FALSE(ProgramFoldersFor(root + "bin/").m_bPortable);
    }
    std::filesystem::permissions(root + "bin", std::filesystem::perms::owner_write,
                                 std::filesystem::perm_options::add);
    Put("HOME", saved[0]);
    Put("XDG_CONFIG_HOME", saved[1]);
    Put("XDG_DATA_HOME", saved[2]);
    Put("XDG_DOCUMENTS_DIR", saved[3]);
}
