#include "platform/linux/settings/ConfigHome.h"

#include <gtest/gtest.h>

using tidemark::linux_platform::configHome;

TEST(ConfigHome, TakesTheFirstAbsoluteFolderOfTheVariablesThenThePasswordDatabase) {
    const struct {
        const char* name;
        const char* xdgConfigHome;
        const char* home;
        std::optional<std::string> passwordHome;
        std::optional<std::filesystem::path> expected;
        bool asksTheDatabase;
    } cases[] = {
        {"XDG_CONFIG_HOME", "/cfg", "/home/u", "/home/p", "/cfg", false},
        {"HOME", "", "/home/u", "/home/p", "/home/u/.config", false},
        {"a relative XDG_CONFIG_HOME is unset", "cfg", "/home/u", "/home/p", "/home/u/.config",
         false},
        {"no HOME: the password database", "", "", "/home/p", "/home/p/.config", true},
        {"a relative HOME is unset", "", ".", "/home/p", "/home/p/.config", true},
        {"no home anywhere", "", "", std::nullopt, std::nullopt, true},
        {"a relative home in the database", "", "", "home/p", std::nullopt, true},
        {"an empty home in the database", "", "", "", std::nullopt, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        bool asked = false;
        EXPECT_EQ(configHome(c.xdgConfigHome, c.home,
                             [&] {
                                 asked = true;
                                 return c.passwordHome;
                             }),
                  c.expected);
        EXPECT_EQ(asked, c.asksTheDatabase);
    }
}
