#include "support/RunCommand.h"
#include "support/TemporaryDirectory.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>
#include <sys/stat.h>

using namespace tidemark::testing;

namespace {

std::size_t lineCount(const std::string& text) {
    return std::size_t(std::count(text.begin(), text.end(), '\n'));
}

} // namespace

TEST(DefaultsCommand, ConcurrentWritersAllKeepTheirKeys) {
    TemporaryDirectory home;
    const std::vector<std::string> env{"XDG_CONFIG_HOME=" + home.path().string()};
    constexpr int kWriters = 60;
    std::vector<std::vector<std::string>> runs;
    for (int i = 0; i < kWriters; ++i)
        runs.push_back({"defaults", "write", "key" + std::to_string(i), std::to_string(i)});
    const auto results = runTidemarkConcurrently(runs, env);
    for (const auto& result : results)
        EXPECT_EQ(result.exitCode, 0) << result.err;
    const auto all = nlohmann::json::parse(runTidemark({"defaults", "read"}, env).out);
    for (int i = 0; i < kWriters; ++i)
        EXPECT_EQ(all.value("key" + std::to_string(i), -1), i) << "key" << i;
}

TEST(DefaultsCommand, AFileThatCannotBeOpenedIsReportedAndLeftAlone) {
    TemporaryDirectory home;
    const std::vector<std::string> env{"XDG_CONFIG_HOME=" + home.path().string()};
    const auto file = home.path() / "tidemark" / "defaults.plist";
    std::filesystem::create_directories(file.parent_path());
    ASSERT_EQ(::mkfifo(file.c_str(), 0600), 0);
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"defaults", "read"},
          std::vector<std::string>{"defaults", "write", "displayStyle", "2"},
          std::vector<std::string>{"defaults", "delete", "displayStyle"}}) {
        SCOPED_TRACE(args[1]);
        const auto result = runTidemark(args, env);
        EXPECT_EQ(result.exitCode, 1);
        EXPECT_EQ(lineCount(result.err), 1u) << result.err;
        EXPECT_NE(result.err.find("cannot open settings file"), std::string::npos) << result.err;
        EXPECT_TRUE(result.out.empty());
        EXPECT_TRUE(std::filesystem::is_fifo(file));
    }
}

TEST(DefaultsCommand, RefusesValuesItCannotStoreWithTheRealReason) {
    TemporaryDirectory home;
    const std::vector<std::string> env{"XDG_CONFIG_HOME=" + home.path().string()};
    struct Case {
        const char* value;
        const char* reason;
    };
    const std::vector<Case> cases{
        {R"("a\u0000b")", "text with a NUL character"},
        {"[1,null]", "null at [1]"},
        {"1e400", "number overflow"},
        {R"({"x": [0, 1e400]})", "member 'x[1]'"},
        {R"({"$data": "AAH/", "x": 1})", "other members"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.value);
        const auto result = runTidemark({"defaults", "write", "displayStyle", c.value}, env);
        EXPECT_EQ(result.exitCode, 2);
        EXPECT_EQ(lineCount(result.err), 1u) << result.err;
        EXPECT_NE(result.err.find(c.reason), std::string::npos) << result.err;
    }
    EXPECT_FALSE(std::filesystem::exists(home.path() / "tidemark" / "defaults.plist"));
    // An echoed key stays one printable line.
    const auto odd = runTidemark({"defaults", "read", "k\x1b[2J\nx"}, env);
    EXPECT_EQ(odd.err, "tidemark defaults: no value for k\\x1b[2J\\nx\n");
}
