#include "preferences/PreferencesModel.h"

#include "preferences/SettingsKeys.h"

#include <gtest/gtest.h>

namespace tidemark {
namespace {

class FixedLoginService final : public LoginItemService {
public:
    bool enabled = false;
    bool failing = false;
    Status status() const override { return enabled ? Status::Enabled : Status::NotRegistered; }
    std::optional<std::string> registerItem() override {
        if (failing)
            return "refused";
        enabled = true;
        return std::nullopt;
    }
    std::optional<std::string> unregisterItem() override {
        enabled = false;
        return std::nullopt;
    }
};

class SilentLog final : public SystemLog {
public:
    int errors = 0;
    void error(std::string_view, std::string_view, std::string_view) override { ++errors; }
};

struct Fixture {
    SettingsStore settings;
    NotificationCenter center;
    FixedLoginService service;
    SilentLog log;
    LoginItem loginItem{service, log};
    Appearance appearance = Appearance::Light;
    PreferencesModel model{settings, center, loginItem, [this] { return appearance; }};
    int buttonPresses = 0;
    int modelChanges = 0;
    ObservationToken pressToken = center.addObserver(
        settings::kButtonPressedNotification, [this](const Notification&) { ++buttonPresses; });
    ObservationToken changeToken = model.observeChanges([this] { ++modelChanges; });

    Fixture() { settings::registerDefaults(settings); }
};

const Color kLightDefault{0.25, 0.7, 0.25, 0.5};
const Color kDarkDefault{0.55, 0.88, 0.55, 0.5};

TEST(PreferencesModel, ImageControlsPostButtonPressedAndTheHoverSwitchDoesNot) {
    struct Case {
        const char* name;
        std::function<void(PreferencesModel&)> change;
        const char* key;
        Value stored;
        int presses;
    };
    const std::vector<Case> cases{
        {"style", [](auto& m) { m.setSelectedStyle(SkywardStyle::none); }, settings::kDisplayStyle,
         Value(0), 1},
        {"borders", [](auto& m) { m.setUseHighContrastBorders(true); },
         settings::kUseHighContrastBorders, Value(true), 1},
        {"hover", [](auto& m) { m.setHoverPopupEnabled(false); }, settings::kHoverPopupEnabled,
         Value(false), 0},
        {"scroll", [](auto& m) { m.setScrollSwitchesSpaces(false); },
         settings::kScrollSwitchesSpaces, Value(false), 0},
        {"colour",
         [](auto& m) {
             m.saveActiveColor({0.1, 0.2, 0.3, 0.4});
         },
         settings::kActiveSpaceColor, Value(ValueArray{0.1, 0.2, 0.3, 0.4}), 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Fixture f;
        c.change(f.model);
        EXPECT_EQ(f.settings.storedValues().at(c.key), c.stored);
        EXPECT_EQ(f.buttonPresses, c.presses);
        EXPECT_GE(f.modelChanges, 1);
    }
}

TEST(PreferencesModel, ReadsStoredChoicesAndTreatsUnknownStylesSafely) {
    const std::vector<std::pair<Value, SkywardStyle>> cases{
        {Value(1), SkywardStyle::numbers},
        {Value(3), SkywardStyle::numbersAndRects},
        {Value(77), SkywardStyle::openedApps},
        {Value("nonsense"), SkywardStyle::none},
    };
    for (const auto& [stored, style] : cases) {
        Fixture f;
        f.settings.set(settings::kDisplayStyle, stored);
        EXPECT_EQ(f.model.selectedStyle(), style);
    }
    Fixture fresh;
    EXPECT_EQ(fresh.model.selectedStyle(), SkywardStyle::openedApps);
    EXPECT_FALSE(fresh.model.useHighContrastBorders());
    EXPECT_TRUE(fresh.model.hoverPopupEnabled());
    EXPECT_TRUE(fresh.model.scrollSwitchesSpaces());
}

TEST(PreferencesModel, DefaultColourFollowsTheAppearanceUntilACustomOneIsChosen) {
    Fixture f;
    f.model.loadActiveColor();
    EXPECT_EQ(f.model.activeSpaceColor(), kLightDefault);
    EXPECT_FALSE(f.model.hasCustomColor());

    f.appearance = Appearance::Dark;
    f.model.appearanceDidChange();
    EXPECT_EQ(f.model.activeSpaceColor(), kDarkDefault);

    const Color custom{1, 0, 0, 1};
    f.model.saveActiveColor(custom);
    f.appearance = Appearance::Light;
    f.model.appearanceDidChange();
    EXPECT_EQ(f.model.activeSpaceColor(), custom);
    EXPECT_TRUE(f.model.hasCustomColor());

    f.model.resetActiveColor();
    EXPECT_FALSE(f.settings.object(settings::kActiveSpaceColor).has_value());
    EXPECT_FALSE(f.model.hasCustomColor());
    EXPECT_EQ(f.model.activeSpaceColor(), kLightDefault);
    EXPECT_EQ(f.buttonPresses, 2);
}

TEST(PreferencesModel, AStoredColourOfTheWrongShapeCountsAsNone) {
    for (const auto& stored :
         {Value(ValueArray{0.1, 0.2, 0.3}), Value(ValueArray{0.1, 0.2, "x", 1}), Value("red")}) {
        Fixture f;
        f.settings.set(settings::kActiveSpaceColor, stored);
        f.model.loadActiveColor();
        EXPECT_FALSE(f.model.hasCustomColor());
        EXPECT_EQ(f.model.activeSpaceColor(), kLightDefault);
    }
    Fixture f;
    f.settings.set(settings::kActiveSpaceColor, Value(ValueArray{1, 0, 0, 1}));
    f.model.loadActiveColor();
    EXPECT_TRUE(f.model.hasCustomColor());
    EXPECT_EQ(f.model.activeSpaceColor(), (Color{1, 0, 0, 1}));
}

TEST(PreferencesModel, LaunchAtLoginShowsTheSystemsStateAfterAFailedWrite) {
    Fixture f;
    f.service.failing = true;
    const int before = f.modelChanges;
    f.model.setLaunchAtLogin(true);
    EXPECT_FALSE(f.model.launchAtLogin());
    EXPECT_EQ(f.log.errors, 1);
    EXPECT_GT(f.modelChanges, before) << "the switch must read the state again";
    f.service.failing = false;
    f.model.setLaunchAtLogin(true);
    EXPECT_TRUE(f.model.launchAtLogin());
    EXPECT_EQ(f.buttonPresses, 0);
}

TEST(PreferencesModel, AnotherWritersChangeReachesTheWindow) {
    Fixture f;
    const int before = f.modelChanges;
    f.settings.set(settings::kUseHighContrastBorders, Value(true));
    EXPECT_GT(f.modelChanges, before);
    EXPECT_TRUE(f.model.useHighContrastBorders());
}

} // namespace
} // namespace tidemark
