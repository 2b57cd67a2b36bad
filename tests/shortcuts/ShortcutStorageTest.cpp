#include "shortcuts/ShortcutStorage.h"

#include "shortcuts/ShortcutWorld.h"

#include <gtest/gtest.h>

namespace tidemark::KeyBindings {
namespace {

using testing::ShortcutWorld;

const Shortcut kCommandR{key::r.rawValue, modifier::kCommand};
const Shortcut kControlOptionT{key::t.rawValue, modifier::kControl | modifier::kOption};

TEST(ShortcutStorage, StoresJsonTextInMemberOrderAndReadsItBack) {
    ShortcutWorld world;
    const auto name = world.shortcuts->name("refresh");
    world.shortcuts->setShortcut(kControlOptionT, name);
    EXPECT_EQ(world.settings.storedValues().at("KeyBindings_refresh"),
              Value("{\"carbonKeyCode\":17,\"carbonModifiers\":6144}"));
    EXPECT_EQ(world.shortcuts->getShortcut(name), kControlOptionT);
    // A reader written elsewhere: spacing is JSON's business, not the format's.
    world.settings.set("KeyBindings_refresh",
                       Value(" { \"carbonKeyCode\" : 15 , \"carbonModifiers\" : 256 } "));
    EXPECT_EQ(world.shortcuts->getShortcut(name), kCommandR);
}

TEST(ShortcutStorage, EntriesThatAreNoShortcutReadAsNoneAndStayUntouched) {
    const std::vector<Value> entries{
        Value(false),
        Value(true),
        Value(15),
        Value("not json"),
        Value("{\"carbonKeyCode\":15}"),
        Value("{\"carbonKeyCode\":\"15\",\"carbonModifiers\":256}"),
        Value("{\"carbonKeyCode\":15.5,\"carbonModifiers\":256}"),
        Value("{\"carbonKeyCode\":15,\"carbonModifiers\":256,\"extra\":1}"),
        Value("{\"carbonKeyCode\":15,\"carbonModifiers\":99999999999999999999999}"),
        Value("{\"carbonKeyCode\":4294967296,\"carbonModifiers\":256}"),
        Value("{\"carbonKeyCode\":-1,\"carbonModifiers\":256}"),
        Value("[15, 256]"),
        Value("{\"carbonKeyCode\":15,\"carbonModifiers\":256} trailing"),
        Value(ValueDictionary{{"carbonKeyCode", Value(15)}, {"carbonModifiers", Value(256)}}),
        Value(std::string("{\"carbonKeyCode\":15,\"carbonModifiers\":256,\"\xff\":1}")),
    };
    for (const auto& entry : entries) {
        ShortcutWorld world({{"KeyBindings_refresh", entry}});
        const auto name = world.shortcuts->name("refresh");
        world.shortcuts->addKeyUpAction(name, [] {});
        EXPECT_EQ(world.shortcuts->getShortcut(name), std::nullopt);
        EXPECT_EQ(world.service.registerCalls(), 0);
        // Clearing a name without a stored shortcut does nothing, so the entry stays.
        world.shortcuts->setShortcut(std::nullopt, name);
        EXPECT_EQ(world.settings.storedValues().at("KeyBindings_refresh"), entry);
    }
    // The largest values the hot-key service takes still count.
    EXPECT_EQ(
        decodeShortcutEntry(Value("{\"carbonKeyCode\":4294967295,\"carbonModifiers\":4294967295}")),
        (Shortcut{4294967295, 4294967295}));
}

TEST(ShortcutStorage, DefaultsAreStoredOnlyWithoutAnyEntryAndFalseKeepsThemAway) {
    ShortcutWorld world;
    const auto withDefault = world.shortcuts->name("toggle", kCommandR);
    EXPECT_EQ(world.shortcuts->getShortcut(withDefault), kCommandR);
    EXPECT_EQ(world.service.registered().size(), 1u);

    // Removing the shortcut of a name with a default stores false...
    world.shortcuts->setShortcut(std::nullopt, withDefault);
    EXPECT_EQ(world.settings.storedValues().at("KeyBindings_toggle"), Value(false));
    EXPECT_TRUE(world.service.registered().empty());
    // ...so declaring the name again does not bring the default back.
    world.shortcuts->name("toggle", kControlOptionT);
    EXPECT_EQ(world.shortcuts->getShortcut(withDefault), std::nullopt);
    // Reset brings it back and registers it.
    world.shortcuts->resetToDefaults({withDefault});
    EXPECT_EQ(world.shortcuts->getShortcut(withDefault), kCommandR);
    EXPECT_EQ(world.service.registered().size(), 1u);

    // A name without a default loses its key entirely; reset of such a name removes it.
    const auto plain = world.shortcuts->name("refresh");
    EXPECT_FALSE(world.settings.storedValues().contains("KeyBindings_refresh"));
    world.shortcuts->setShortcut(kControlOptionT, plain);
    world.shortcuts->setShortcut(std::nullopt, plain);
    EXPECT_FALSE(world.settings.storedValues().contains("KeyBindings_refresh"));
    world.shortcuts->setShortcut(kControlOptionT, plain);
    world.shortcuts->resetToDefaults({plain});
    EXPECT_FALSE(world.settings.storedValues().contains("KeyBindings_refresh"));
    EXPECT_EQ(world.service.registered().size(), 1u); // the toggle's only
}

TEST(ShortcutStorage, EveryChangeIsAnnouncedWithTheName) {
    ShortcutWorld world;
    std::vector<std::string> announced;
    auto token = world.defaultCenter.addObserver(
        kShortcutByNameDidChangeNotification, [&](const Notification& n) {
            announced.push_back(*findIn(n.userInfo, "name")->asString());
        });
    const auto name = world.shortcuts->name("refresh");
    world.shortcuts->setShortcut(kCommandR, name);
    world.shortcuts->setShortcut(kCommandR, name); // the same again still counts
    world.shortcuts->setShortcut(std::nullopt, name);
    world.shortcuts->setShortcut(std::nullopt, name); // nothing stored: nothing happens
    EXPECT_EQ(announced, (std::vector<std::string>{"refresh", "refresh", "refresh"}));
}

TEST(ShortcutStorage, NamesAreEqualByRawValueAlone) {
    ShortcutWorld world;
    const auto a = world.shortcuts->name("refresh", kCommandR);
    const auto b = world.shortcuts->name("refresh", kControlOptionT);
    EXPECT_EQ(a, b);
    EXPECT_EQ(std::hash<Name>{}(a), std::hash<Name>{}(b));
    EXPECT_EQ(world.shortcuts->getShortcut(b), kCommandR);
    EXPECT_EQ(world.shortcuts->knownNames().size(), 1u);
}

} // namespace
} // namespace tidemark::KeyBindings
