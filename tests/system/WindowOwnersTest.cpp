#include "system/WindowOwners.h"

#include <gtest/gtest.h>

namespace tidemark {
namespace {

// A real window of `owner` on space 3.
WindowInfo window(std::int32_t owner) {
    return WindowInfo{.number = 100 + owner,
                      .ownerPid = owner,
                      .layer = WindowLayer{0, true},
                      .alpha = 1.0,
                      .size = Size{300, 200},
                      .onScreen = true,
                      .spaces = {3}};
}

std::unordered_set<std::int32_t> owners(std::vector<WindowInfo> windows, bool spacesKnown) {
    const WindowList list{
        .windows = std::move(windows), .spacesKnown = spacesKnown, .allEntriesReadable = false};
    return windowOwnerPIDs(&list);
}

TEST(WindowOwners, OnlyRealWindowsOnSomeSpaceCount) {
    struct Case {
        const char* what;
        void (*change)(WindowInfo&);
        bool counts;
    };
    const Case cases[] = {
        {"a plain window", [](WindowInfo&) {}, true},
        {"another layer",
         [](WindowInfo& w) {
             w.layer = WindowLayer{25, true};
         },
         false},
        {"a real-valued layer 0",
         [](WindowInfo& w) {
             w.layer = WindowLayer{0, false};
         },
         false},
        {"no layer", [](WindowInfo& w) { w.layer.reset(); }, false},
        {"nearly transparent", [](WindowInfo& w) { w.alpha = 0.005; }, false},
        {"no alpha", [](WindowInfo& w) { w.alpha.reset(); }, true},
        {"narrow",
         [](WindowInfo& w) {
             w.size = Size{40, 600};
         },
         false},
        {"short",
         [](WindowInfo& w) {
             w.size = Size{600, 49.9};
         },
         false},
        {"no size", [](WindowInfo& w) { w.size.reset(); }, true},
        {"no number", [](WindowInfo& w) { w.number.reset(); }, false},
        {"no owner", [](WindowInfo& w) { w.ownerPid.reset(); }, false},
        {"on no space", [](WindowInfo& w) { w.spaces.clear(); }, false},
        // The window server said something, if nothing it names: it is on some space.
        {"on an unnamed space", [](WindowInfo& w) { w.spaces = {std::nullopt}; }, true},
    };
    std::vector<WindowInfo> windows;
    std::unordered_set<std::int32_t> expected;
    for (std::int32_t pid = 1; const Case& c : cases) {
        auto w = window(pid);
        c.change(w);
        windows.push_back(w);
        if (c.counts)
            expected.insert(pid);
        EXPECT_EQ(owners({w}, true).size(), c.counts ? 1u : 0u) << c.what;
        ++pid;
    }
    EXPECT_EQ(owners(windows, true), expected);
}

TEST(WindowOwners, WhereSpacesAreUnknownTheOnScreenFlagDecides) {
    auto shown = window(1);
    shown.spaces.clear();
    auto hidden = window(2);
    hidden.onScreen = false;
    EXPECT_EQ(owners({shown, hidden}, false), (std::unordered_set<std::int32_t>{1}));
}

TEST(WindowOwners, NoListMeansNoOwners) {
    EXPECT_TRUE(windowOwnerPIDs(nullptr).empty());
}

} // namespace
} // namespace tidemark
