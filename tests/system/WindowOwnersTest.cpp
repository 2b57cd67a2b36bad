#include "system/WindowOwners.h"

#include <gtest/gtest.h>

namespace tidemark {
namespace {

ValueDictionary window(std::int64_t number, std::int64_t owner) {
    return ValueDictionary{
        {"kCGWindowLayer", 0},
        {"kCGWindowAlpha", 1.0},
        {"kCGWindowBounds", ValueDictionary{{"Width", 300.0}, {"Height", 200.0}}},
        {"kCGWindowNumber", Value(static_cast<long long>(number))},
        {"kCGWindowOwnerPID", Value(static_cast<long long>(owner))},
        {"kCGWindowIsOnscreen", true},
    };
}

// Every window number at or above 100 is on some space.
const WindowServer::SpacesForWindows kOnSpaceFrom100 =
    [](std::int32_t, int mask, const std::vector<std::int64_t>& numbers) -> std::optional<Value> {
    EXPECT_EQ(mask, 7);
    if (numbers.size() == 1 && numbers[0] >= 100)
        return Value(ValueArray{Value(3)});
    if (numbers.size() == 1 && numbers[0] == 50)
        return Value(ValueArray{});
    return std::nullopt;
};

std::unordered_set<std::int32_t> owners(ValueArray windows,
                                        std::optional<WindowServer::SpacesForWindows> lookup) {
    return windowOwnerPIDs(Value(std::move(windows)), lookup, 1);
}

TEST(WindowOwners, OnlyRealWindowsOnSomeSpaceCount) {
    ValueArray list;
    list.push_back(window(100, 1)); // counts
    auto layer = window(101, 2);
    layer["kCGWindowLayer"] = 25;
    list.push_back(layer);
    auto realLayer = window(102, 3);
    realLayer["kCGWindowLayer"] = 0.0; // a real number is not an integer
    list.push_back(realLayer);
    auto faint = window(103, 4);
    faint["kCGWindowAlpha"] = 0.005;
    list.push_back(faint);
    auto noAlpha = window(104, 5); // a missing alpha does not skip
    noAlpha.erase("kCGWindowAlpha");
    list.push_back(noAlpha);
    auto narrow = window(105, 6);
    narrow["kCGWindowBounds"] = ValueDictionary{{"Width", 40.0}, {"Height", 600.0}};
    list.push_back(narrow);
    auto short_ = window(106, 7);
    short_["kCGWindowBounds"] = ValueDictionary{{"Width", 600.0}, {"Height", 49.9}};
    list.push_back(short_);
    auto oddBounds = window(107, 8); // malformed bounds do not skip
    oddBounds["kCGWindowBounds"] = ValueDictionary{{"Width", "tiny"}, {"Height", 10.0}};
    list.push_back(oddBounds);
    auto badNumber = window(108, 9);
    badNumber["kCGWindowNumber"] = "108";
    list.push_back(badNumber);
    auto hugeOwner = window(109, 10);
    hugeOwner["kCGWindowOwnerPID"] = Value(static_cast<long long>(1) << 40);
    list.push_back(hugeOwner);
    list.push_back(window(50, 11)); // on no space: empty answer
    list.push_back(window(60, 12)); // on no space: no answer
    list.push_back(Value("not a window"));
    list.push_back(window(110, 13));
    EXPECT_EQ(owners(list, kOnSpaceFrom100), (std::unordered_set<std::int32_t>{1, 5, 8, 13}));
}

TEST(WindowOwners, WithoutTheSpacesFunctionTheOnScreenFlagDecides) {
    ValueArray list;
    list.push_back(window(1, 1));
    auto hidden = window(2, 2);
    hidden["kCGWindowIsOnscreen"] = false;
    list.push_back(hidden);
    auto textual = window(3, 3);
    textual["kCGWindowIsOnscreen"] = "true";
    list.push_back(textual);
    auto missing = window(4, 4);
    missing.erase("kCGWindowIsOnscreen");
    list.push_back(missing);
    EXPECT_EQ(owners(list, std::nullopt), (std::unordered_set<std::int32_t>{1}));
}

TEST(WindowOwners, NoListMeansNoOwners) {
    EXPECT_TRUE(windowOwnerPIDs(std::nullopt, kOnSpaceFrom100, 1).empty());
    EXPECT_TRUE(windowOwnerPIDs(Value(ValueDictionary{}), kOnSpaceFrom100, 1).empty());
}

} // namespace
} // namespace tidemark
