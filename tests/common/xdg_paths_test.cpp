#include "common/xdg_paths.h"

#include <gtest/gtest.h>
#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <optional>

namespace {

// Sets or unsets XDG_DATA_HOME and HOME for one test and puts back what the
// process had before.
class XdgPaths : public testing::Test {
protected:
    void SetUp() override {
        m_savedDataHome = Saved("XDG_DATA_HOME");
        m_savedHome = Saved("HOME");
    }
    void TearDown() override {
        Put("XDG_DATA_HOME", m_savedDataHome);
        Put("HOME", m_savedHome);
    }

    static std::optional<std::string> Saved(const char* name) {
        const char* value = std::getenv(name);
        return value ? std::optional<std::string>(value) : std::nullopt;
    }
    static void Put(const char* name, const std::optional<std::string>& value) {
        if (value) {
            setenv(name, value->c_str(), 1);
        } else {
            unsetenv(name);
        }
    }

    std::optional<std::string> m_savedDataHome;
    std::optional<std::string> m_savedHome;
};

std::string AccountHome() {
    const passwd* entry = getpwuid(getuid());
    return entry ? std::string(entry->pw_dir) : std::string();
}

}  // namespace

TEST_F(XdgPaths, DataHomeFollowsTheVariablesInOrder) {
    const std::string account = AccountHome();
    ASSERT_FALSE(account.empty());
    const std::string accountData = (account == "/" ? "" : account) + "/.local/share/";
    struct Case {
        std::optional<std::string> dataHome;
        std::optional<std::string> home;
        std::string expected;
    };
    const Case cases[] = {
        {"/srv/data", "/home/op", "/srv/data/"},
        {"/srv/data/", "/home/op", "/srv/data/"},
        {"relative/data", "/home/op", "/home/op/.local/share/"},
        {"", "/home/op", "/home/op/.local/share/"},
        {std::nullopt, "/home/op/", "/home/op/.local/share/"},
        {std::nullopt, "/", "/.local/share/"},
        {std::nullopt, "", accountData},
        {std::nullopt, std::nullopt, accountData},
    };
    for (const Case& c : cases) {
        Put("XDG_DATA_HOME", c.dataHome);
        Put("HOME", c.home);
        EXPECT_EQ(DataHomeDirectory(), c.expected)
            << "XDG_DATA_HOME=" << c.dataHome.value_or("(unset)")
            << " HOME=" << c.home.value_or("(unset)");
    }
}

TEST_F(XdgPaths, ProgramFoldersSitUnderTheDataHome) {
    Put("XDG_DATA_HOME", "/srv/data");
    EXPECT_EQ(MarloDataDirectory(), "/srv/data/marlo/");
    EXPECT_EQ(CaptureDirectory(), "/srv/data/marlo/captures/");
}
