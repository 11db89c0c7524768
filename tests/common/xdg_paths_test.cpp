#include "common/xdg_paths.h"

#include <gtest/gtest.h>
#include <pwd.h>
#include <unistd.h>

#include <optional>

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
