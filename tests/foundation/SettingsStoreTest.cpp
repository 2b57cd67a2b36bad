#include "foundation/SettingsStore.h"

#include "platform/linux/FileSettingsStore.h"
#include "support/TemporaryDirectory.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sys/stat.h>

using namespace tidemark;
using linux_platform::FileSettingsStore;
using tidemark::testing::TemporaryDirectory;

namespace {

std::vector<std::string> entries(const std::filesystem::path& dir) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(dir))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

} // namespace

TEST(SettingsStore, RegisteredDefaultsLoseToStoredValuesAndAreNeverStored) {
    SettingsStore store(ValueDictionary{{"displayStyle", Value(1)}});
    store.registerDefaults({{"displayStyle", Value(4)}, {"hoverPopupEnabled", Value(true)}});
    EXPECT_EQ(store.integer("displayStyle"), 1);
    EXPECT_TRUE(store.boolean("hoverPopupEnabled"));
    EXPECT_FALSE(store.storedValues().contains("hoverPopupEnabled"));
    store.remove("displayStyle");
    EXPECT_EQ(store.integer("displayStyle"), 4);
}

namespace {
// Stands for a persistent store that reread its file.
class RereadingStore : public SettingsStore {
public:
    using SettingsStore::SettingsStore;
    void reread(ValueDictionary fresh) { adoptStoredValues(std::move(fresh)); }
};
} // namespace

TEST(SettingsStore, ObserversHearEachChangedKeyOnce) {
    RereadingStore store(ValueDictionary{{"kept", Value(1)}, {"dropped", Value(2)}});
    std::vector<std::string> heard;
    auto token = store.observeChanges([&](std::string_view key) { heard.emplace_back(key); });
    store.registerDefaults({{"displayStyle", Value(4)}});
    store.set("kept", Value(1)); // no change
    store.remove("absent");
    store.set("displayStyle", Value(2));
    store.remove("displayStyle");
    store.reread({{"kept", Value(1)}, {"added", Value(3)}});
    EXPECT_EQ(heard,
              (std::vector<std::string>{"displayStyle", "displayStyle", "dropped", "added"}));
    EXPECT_EQ(store.integer("added"), 3);
    EXPECT_FALSE(store.object("dropped"));
    token.reset();
    store.set("kept", Value(5));
    EXPECT_EQ(heard.size(), 4u);
}

TEST(SettingsStore, ReadersGiveZeroAndFalseForAbsentOrForeignValues) {
    SettingsStore store(ValueDictionary{{"text", Value("abc")},
                                        {"numeric", Value("12")},
                                        {"real", Value(2.9)},
                                        {"data", Value(ByteString{1})},
                                        {"yes", Value("YES")},
                                        {"one", Value(1)}});
    EXPECT_EQ(store.integer("missing"), 0);
    EXPECT_EQ(store.integer("text"), 0);
    EXPECT_EQ(store.integer("data"), 0);
    EXPECT_EQ(store.integer("numeric"), 12);
    EXPECT_EQ(store.integer("real"), 2);
    EXPECT_FALSE(store.boolean("missing"));
    EXPECT_FALSE(store.boolean("text"));
    EXPECT_TRUE(store.boolean("yes"));
    EXPECT_TRUE(store.boolean("one"));
    store.set("one", Value());
    EXPECT_FALSE(store.object("one"));
}

TEST(SettingsStore, ReadsTextAsABooleanTheWayTheDefaultsDo) {
    const std::vector<std::pair<const char*, bool>> cases{
        {"true", true}, {"TRUE", true}, {"True", true},        {"YES", true},    {"yes", true},
        {"1", true},    {"12", true},   {"-1", true},          {"false", false}, {"NO", false},
        {"0", false},   {"", false},    {"yes please", false}, {"truth", false},
    };
    for (const auto& [text, expected] : cases) {
        const SettingsStore store(ValueDictionary{{"flag", Value(text)}});
        EXPECT_EQ(store.boolean("flag"), expected) << text;
    }
}

TEST(FileSettingsStore, WritesAtomicallyOnlyOnChangeAndReadsBack) {
    TemporaryDirectory dir;
    const auto file = dir.path() / "tidemark" / "defaults.plist";
    {
        FileSettingsStore store(file);
        store.registerDefaults({{"displayStyle", Value(4)}});
        EXPECT_FALSE(std::filesystem::exists(file)); // registering writes nothing
        store.set("displayStyle", Value(2));
        store.set("activeSpaceColor",
                  Value(ValueArray{Value(0.5), Value(1), Value(0.0), Value(1.0)}));
    }
    ASSERT_TRUE(std::filesystem::exists(file));
    EXPECT_EQ(entries(file.parent_path()),
              (std::vector<std::string>{"defaults.plist", "defaults.plist.lock"}));

    // An unchanged value does not touch the file.
    struct stat before {};
    ::stat(file.c_str(), &before);
    std::filesystem::last_write_time(file, std::filesystem::file_time_type{});
    FileSettingsStore reopened(file);
    reopened.set("displayStyle", Value(2));
    EXPECT_EQ(std::filesystem::last_write_time(file), std::filesystem::file_time_type{});

    EXPECT_EQ(reopened.integer("displayStyle"), 2);
    EXPECT_EQ(*reopened.object("activeSpaceColor"),
              Value(ValueArray{Value(0.5), Value(1), Value(0.0), Value(1.0)}));
    reopened.remove("displayStyle");
    EXPECT_FALSE(FileSettingsStore(file).object("displayStyle"));
}

TEST(FileSettingsStore, SetsADamagedFileAsideAndStartsEmpty) {
    TemporaryDirectory dir;
    const auto file = dir.path() / "defaults.plist";
    std::ofstream(file) << "<plist><dict><key>displayStyle</key>";
    std::string report;
    FileSettingsStore store(file, [&](const std::string& line) { report = line; });
    EXPECT_TRUE(store.storedValues().empty());
    EXPECT_FALSE(std::filesystem::exists(file));
    const auto names = entries(dir.path());
    ASSERT_EQ(names, (std::vector<std::string>{names[0], "defaults.plist.lock"}));
    EXPECT_TRUE(names[0].starts_with("defaults.plist.damaged-")) << names[0];
    EXPECT_NE(report.find(names[0]), std::string::npos) << report;
    // A plist that is valid but not a dictionary is no settings file either.
    std::ofstream(file) << "<?xml version=\"1.0\"?><plist version=\"1.0\"><array/></plist>";
    FileSettingsStore second(file, [](const std::string&) {});
    EXPECT_EQ(entries(dir.path()).size(), 3u);
    // The damaged copies are kept; a new value makes a fresh file beside them.
    second.set("displayStyle", Value(1));
    EXPECT_EQ(entries(dir.path()).size(), 4u);
}
