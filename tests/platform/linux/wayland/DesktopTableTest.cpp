#include "platform/linux/wayland/DesktopTable.h"

#include "support/TemporaryDirectory.h"
#include "support/TextFiles.h"

#include <gtest/gtest.h>

namespace tidemark::linux_platform::wayland {
namespace {

// Two outputs: "left" shows workspace 2 of 1, 2; "right" shows 3; "dark" shows nothing.
const Outputs kOutputs{
    {"left", {{.id = 1, .number = 1}, {.id = 2, .number = 2, .name = "web", .visible = true}}},
    {"dark", {{.id = 9}}},
    {"right", {{.id = 3, .name = "music", .visible = true, .focused = true, .urgent = true}}},
};

std::vector<SpaceId> ids(const Display& display) {
    std::vector<SpaceId> result;
    for (const auto& space : display.spaces)
        result.push_back(space.id);
    return result;
}

TEST(DesktopTable, DisplaysAreTheOutputsThatShowAWorkspaceAFullScreenOneWhenItsWindowIsAlone) {
    const Windows windows{
        {.id = 10, .pid = 100, .workspace = 1, .fullScreen = true},
        {.id = 11, .pid = 101, .workspace = 2, .fullScreen = true},
        {.id = 12, .pid = 102, .workspace = 2},
        {.id = 13, .pid = std::nullopt, .workspace = 3, .fullScreen = true},
    };
    const auto displays = displaysOf(kOutputs, windows);
    ASSERT_EQ(displays.size(), 2u);
    EXPECT_EQ(displays[0].identifier, "left");
    EXPECT_EQ(displays[0].currentSpace, 2);
    EXPECT_EQ(ids(displays[0]), (std::vector<SpaceId>{1, 2}));
    EXPECT_EQ(displays[0].spaces[1].wmNumber, 2);
    EXPECT_EQ(displays[0].spaces[1].wmName, "web");
    EXPECT_EQ(displays[1].identifier, "right");
    EXPECT_EQ(displays[1].spaces[0].wmNumber, std::nullopt);
    EXPECT_TRUE(displays[1].spaces[0].isUrgent);
    EXPECT_FALSE(displays[0].spaces[1].isUrgent);
    // Alone and full screen: 1 (owner known) and 3 (owner unknown); 2 holds two windows.
    EXPECT_EQ(displays[0].spaces[0].kind, SpaceKind::FullScreen);
    EXPECT_EQ(displays[0].spaces[0].fullScreenOwner, 100);
    EXPECT_EQ(displays[0].spaces[1].kind, SpaceKind::Desktop);
    EXPECT_EQ(displays[1].spaces[0].kind, SpaceKind::FullScreen);
    EXPECT_EQ(displays[1].spaces[0].fullScreenOwner, std::nullopt);

    // A sticky window shares every workspace of its output: no space is its alone any more.
    const Windows withSticky{windows[0], {.id = 14, .pid = 104, .workspace = 2, .sticky = true}};
    EXPECT_EQ(displaysOf(kOutputs, withSticky)[0].spaces[0].kind, SpaceKind::Desktop);
    EXPECT_TRUE(displaysOf({}, windows).empty());
}

TEST(DesktopTable, WindowsSitOnTheirWorkspaceOrEveryOneOfTheirOutputAndShowWhereThatIsShown) {
    const Windows windows{
        {.id = 10, .pid = 100, .workspace = 1},
        {.id = 11, .pid = 101, .workspace = 1, .sticky = true},
        {.id = 12, .pid = 102, .workspace = 3},
        // The scratchpad: a workspace no output lists.
        {.id = 13, .pid = 103, .workspace = 77},
        {.id = 14, .pid = 104, .workspace = std::nullopt, .sticky = true},
    };
    const auto list = windowListOf(kOutputs, windows);
    ASSERT_EQ(list.windows.size(), 5u);
    EXPECT_TRUE(list.spacesKnown);
    EXPECT_TRUE(list.allEntriesReadable);
    using Spaces = std::vector<std::optional<SpaceId>>;
    const std::vector<std::pair<Spaces, bool>> expected{
        {{1}, false}, {{1, 2}, true}, {{3}, true}, {{77}, false}, {{}, false}};
    for (std::size_t i = 0; i < expected.size(); ++i) {
        const auto& window = list.windows[i];
        EXPECT_EQ(window.number, windows[i].id);
        EXPECT_EQ(window.ownerPid, windows[i].pid);
        EXPECT_EQ(window.layer, (WindowLayer{0, true}));
        EXPECT_EQ(window.spaces, expected[i].first) << i;
        EXPECT_EQ(window.onScreen, expected[i].second) << i;
    }
}

TEST(DesktopTable, AppsAreTheOwnersNamedThroughDesktopEntriesAsOnX11) {
    const testing::TemporaryDirectory data;
    testing::writeFile(data.path() / "applications/org.example.Notes.desktop",
                       "[Desktop Entry]\nType=Application\nName=Notes\nIcon=notes\n");
    testing::writeFile(data.path() / "applications/xterm.desktop",
                       "[Desktop Entry]\nType=Application\nName=XTerm\nStartupWMClass=XTerm\n");
    const DesktopEntries entries({data.path()});
    const Windows windows{
        {.id = 1, .pid = 10, .appId = "org.example.Notes"},
        {.id = 2, .pid = 10, .appId = "org.example.Notes"},
        {.id = 3, .pid = 11, .appId = "XTerm", .instance = "xterm"},
        {.id = 4, .pid = 12, .appId = "unlisted-tool"},
        {.id = 5, .pid = 13},
        {.id = 6, .pid = std::nullopt, .appId = "ghost"},
    };
    const SeenOwners owners{{1, {10, 500}}, {2, {10, 500}}, {3, {11, 600}}, {4, {99, 700}}};
    const auto apps = appsOf(windows, entries, owners);
    ASSERT_EQ(apps.size(), 4u);
    const auto& notes = apps.at(10);
    EXPECT_EQ(notes.windows, (std::vector<std::int64_t>{1, 2}));
    EXPECT_EQ(notes.application.bundleIdentifier, "org.example.Notes");
    EXPECT_EQ(notes.application.localizedName, "Notes");
    EXPECT_EQ(notes.application.bundlePath,
              (data.path() / "applications/org.example.Notes.desktop").string());
    EXPECT_EQ(notes.application.activationPolicy, ActivationPolicy::Regular);
    EXPECT_EQ(notes.application.seenOwner, SeenOwner(500));
    EXPECT_EQ(apps.at(11).application.bundleIdentifier, "xterm");
    EXPECT_EQ(apps.at(11).application.localizedName, "XTerm");
    // No entry: the app id names it. An owner seen as another process names nothing.
    EXPECT_EQ(apps.at(12).application.bundleIdentifier, "unlisted-tool");
    EXPECT_EQ(apps.at(12).application.bundlePath, std::nullopt);
    EXPECT_EQ(apps.at(12).application.seenOwner, std::nullopt);
    EXPECT_EQ(apps.at(13).application.bundleIdentifier, std::nullopt);

    // Windows that name two different processes of one pid: the app's owner is unknown.
    const SeenOwners split{{1, {10, 500}}, {2, {10, 501}}};
    EXPECT_EQ(appsOf(windows, entries, split).at(10).application.seenOwner,
              std::optional<SeenOwner>(SeenOwner()));
}

// Which workspaces each output shows, and the focused one, in kOutputs' order.
struct ShownState {
    std::vector<std::vector<SpaceId>> visible;
    std::optional<SpaceId> focused;
    friend bool operator==(const ShownState&, const ShownState&) = default;
};

ShownState shownState(const Outputs& outputs) {
    ShownState state;
    for (const auto& output : outputs) {
        state.visible.emplace_back();
        for (const auto& workspace : output.workspaces) {
            if (workspace.visible)
                state.visible.back().push_back(workspace.id);
            if (workspace.focused)
                state.focused = workspace.id;
        }
    }
    return state;
}

TEST(DesktopTable, AShownWorkspaceIsTheOneVisibleOnItsOutputWhereTheTableHoldsItSo) {
    struct Case {
        const char* what;
        ShownWorkspace shown;
        std::optional<ShownState> expected;
    };
    const Case cases[] = {
        {"beside the shown one", {"left", {.id = 1, .number = 1}}, ShownState{{{1}, {}, {3}}, 1}},
        {"on the other output",
         {"right", {.id = 3, .name = "music"}},
         ShownState{{{2}, {}, {3}}, 3}},
        {"on an output that showed none", {"dark", {.id = 9}}, ShownState{{{2}, {9}, {3}}, 9}},
        {"unknown", {"left", {.id = 4, .number = 4}}, std::nullopt},
        {"moved to another output", {"right", {.id = 1, .number = 1}}, std::nullopt},
        {"renamed", {"left", {.id = 2, .number = 2, .name = "mail"}}, std::nullopt},
        {"renumbered", {"left", {.id = 2, .number = 5, .name = "web"}}, std::nullopt},
    };
    for (const auto& c : cases) {
        const auto outputs = withShownWorkspace(kOutputs, c.shown);
        EXPECT_EQ(outputs.has_value(), c.expected.has_value()) << c.what;
        if (outputs && c.expected) {
            EXPECT_EQ(shownState(*outputs), *c.expected) << c.what;
        }
    }
    // Only visibility and focus move: numbers, names and urgency stay as they were.
    const auto outputs = withShownWorkspace(kOutputs, {"left", {.id = 1, .number = 1}});
    ASSERT_TRUE(outputs);
    EXPECT_EQ(outputs->at(2).workspaces[0].urgent, true);
    EXPECT_EQ(outputs->at(0).workspaces[1].name, "web");
}

TEST(DesktopTable, AFocusedWindowIsTheOneFocusedWhereTheTableHoldsItSo) {
    const Windows windows{
        {.id = 10, .pid = 100, .appId = "foot", .workspace = 1, .focused = true},
        {.id = 11, .pid = 101, .appId = "XTerm", .instance = "xterm", .workspace = 2},
    };
    struct Case {
        const char* what;
        WindowEntry focused;
        std::optional<std::vector<bool>> expected;
    };
    const Case cases[] = {
        {"another",
         {.id = 11, .pid = 101, .appId = "XTerm", .instance = "xterm"},
         std::vector{false, true}},
        {"the same", {.id = 10, .pid = 100, .appId = "foot"}, std::vector{true, false}},
        {"unknown", {.id = 12, .pid = 101, .appId = "XTerm", .instance = "xterm"}, std::nullopt},
        {"other owner",
         {.id = 11, .pid = 102, .appId = "XTerm", .instance = "xterm"},
         std::nullopt},
        {"other app id", {.id = 10, .pid = 100, .appId = "org.codeberg.dnkl.foot"}, std::nullopt},
        {"other instance",
         {.id = 11, .pid = 101, .appId = "XTerm", .instance = "uxterm"},
         std::nullopt},
    };
    for (const auto& c : cases) {
        const auto edited = withFocusedWindow(windows, c.focused);
        EXPECT_EQ(edited.has_value(), c.expected.has_value()) << c.what;
        if (!edited || !c.expected)
            continue;
        std::vector<bool> focused;
        for (const auto& window : *edited)
            focused.push_back(window.focused);
        EXPECT_EQ(focused, *c.expected) << c.what;
        // Nothing but the focus moves.
        auto unfocused = *edited;
        for (auto& window : unfocused)
            window.focused = false;
        auto before = windows;
        for (auto& window : before)
            window.focused = false;
        EXPECT_EQ(unfocused, before) << c.what;
    }
}

} // namespace
} // namespace tidemark::linux_platform::wayland
