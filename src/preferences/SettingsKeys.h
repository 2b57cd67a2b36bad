#pragma once

#include "foundation/Color.h"
#include "foundation/SettingsStore.h"
#include "foundation/Value.h"

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

// Every settings key the program reads or writes, its type and its registered default, and
// the notification that asks for a new strip image. Readers go through these names only.
namespace tidemark::settings {

inline constexpr const char* kDisplayStyle = "displayStyle";
inline constexpr const char* kUseHighContrastBorders = "useHighContrastBorders";
inline constexpr const char* kHoverPopupEnabled = "hoverPopupEnabled";
inline constexpr const char* kActiveSpaceColor = "activeSpaceColor";
inline constexpr const char* kSpaceNames = "spaceNames";
inline constexpr const char* kScrollSwitchesSpaces = "scrollSwitchesSpaces";

// Posted on the default centre, without user info, by the controls whose setting changes
// the strip image.
inline constexpr const char* kButtonPressedNotification = "ButtonPressed";

// The keys whose change is what "ButtonPressed" announces: the strip image depends on them.
inline bool changesMenuBarImage(std::string_view key) {
    return key == kDisplayStyle || key == kUseHighContrastBorders || key == kActiveSpaceColor;
}

// The style value that shows the apps of each space.
inline constexpr std::int64_t kOpenedAppsStyle = 4;

enum class SettingType {
    Integer,      // a raw style value
    Boolean,      //
    ColorArray,   // four numbers: red, green, blue, alpha in sRGB, each 0 to 1
    EncodedNames, // bytes of a binary property list
};

struct SettingKey {
    const char* name;
    SettingType type;
    // Absent: nothing is registered, the key is absent until written.
    std::optional<Value> registeredDefault;
};

// The whole table, in a fixed order.
inline const std::vector<SettingKey>& allKeys() {
    static const std::vector<SettingKey> keys{
        {kDisplayStyle, SettingType::Integer, Value(kOpenedAppsStyle)},
        {kUseHighContrastBorders, SettingType::Boolean, Value(false)},
        {kHoverPopupEnabled, SettingType::Boolean, Value(true)},
        {kActiveSpaceColor, SettingType::ColorArray, std::nullopt},
        {kSpaceNames, SettingType::EncodedNames, std::nullopt},
        {kScrollSwitchesSpaces, SettingType::Boolean, Value(true)},
    };
    return keys;
}

// Registered at launch; they never reach the stored file.
inline ValueDictionary registeredDefaults() {
    ValueDictionary defaults;
    for (const auto& key : allKeys())
        if (key.registeredDefault)
            defaults.emplace(key.name, *key.registeredDefault);
    return defaults;
}

inline void registerDefaults(SettingsStore& store) {
    store.registerDefaults(registeredDefaults());
}

inline std::int64_t displayStyle(const SettingsStore& store) {
    return store.integer(kDisplayStyle);
}
inline bool isOpenedAppsStyle(const SettingsStore& store) {
    return displayStyle(store) == kOpenedAppsStyle;
}
inline bool useHighContrastBorders(const SettingsStore& store) {
    return store.boolean(kUseHighContrastBorders);
}
inline bool hoverPopupEnabled(const SettingsStore& store) {
    return store.boolean(kHoverPopupEnabled);
}
inline bool scrollSwitchesSpaces(const SettingsStore& store) {
    return store.boolean(kScrollSwitchesSpaces);
}

// The stored active-space colour's components when it is an array of numbers, whatever its
// length: the refresh signature tells such values apart even where they make no colour.
inline std::optional<std::vector<double>> activeSpaceColorComponents(const SettingsStore& store) {
    const auto stored = store.object(kActiveSpaceColor);
    const ValueArray* array = stored ? stored->asArray() : nullptr;
    if (!array)
        return std::nullopt;
    std::vector<double> components;
    components.reserve(array->size());
    for (const auto& element : *array) {
        const auto number = element.asNumber();
        if (!number)
            return std::nullopt;
        components.push_back(*number);
    }
    return components;
}

// The custom active-space colour; anything but exactly four numbers counts as none.
inline std::optional<Color> activeSpaceColor(const SettingsStore& store) {
    const auto c = activeSpaceColorComponents(store);
    if (!c || c->size() != 4)
        return std::nullopt;
    return Color{(*c)[0], (*c)[1], (*c)[2], (*c)[3]};
}

} // namespace tidemark::settings
