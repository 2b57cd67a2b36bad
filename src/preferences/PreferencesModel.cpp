#include "preferences/PreferencesModel.h"

#include "icon/IconPalette.h"
#include "preferences/SettingsKeys.h"

namespace tidemark {
namespace {
constexpr const char* kChanged = "changed";
}

PreferencesModel::PreferencesModel(SettingsStore& settings, NotificationCenter& defaultCenter,
                                   LoginItem& loginItem, std::function<Appearance()> appearance)
    : settings_(settings), defaultCenter_(defaultCenter), loginItem_(loginItem),
      appearance_(std::move(appearance)), activeSpaceColor_(defaultActiveColor()) {
    // Another writer (`tidemark defaults`, a reread file) changes what the window shows too.
    settingsToken_ =
        settings_.observeChanges([this](std::string_view) { changes_.post(kChanged); });
}

SkywardStyle PreferencesModel::selectedStyle() const {
    // A stored 3 draws as numbered rectangles; anything else unknown as the default.
    const auto raw = settings::displayStyle(settings_);
    return skywardStyleFromRawValue(raw == 3 ? rawValue(SkywardStyle::numbersAndRects) : raw)
        .value_or(SkywardStyle::openedApps);
}

void PreferencesModel::setSelectedStyle(SkywardStyle style) {
    settings_.set(settings::kDisplayStyle, Value(rawValue(style)));
    announce(true);
}

bool PreferencesModel::useHighContrastBorders() const {
    return settings::useHighContrastBorders(settings_);
}

void PreferencesModel::setUseHighContrastBorders(bool on) {
    settings_.set(settings::kUseHighContrastBorders, Value(on));
    announce(true);
}

bool PreferencesModel::hoverPopupEnabled() const {
    return settings::hoverPopupEnabled(settings_);
}

void PreferencesModel::setHoverPopupEnabled(bool on) {
    settings_.set(settings::kHoverPopupEnabled, Value(on));
    announce(false);
}

bool PreferencesModel::scrollSwitchesSpaces() const {
    return settings::scrollSwitchesSpaces(settings_);
}

void PreferencesModel::setScrollSwitchesSpaces(bool on) {
    settings_.set(settings::kScrollSwitchesSpaces, Value(on));
    announce(false);
}

void PreferencesModel::setLaunchAtLogin(bool on) {
    loginItem_.setEnabled(on);
    // Whatever the write did, the switch shows what the system now holds.
    announce(false);
}

Color PreferencesModel::defaultActiveColor() const {
    return iconPalette(appearance_() == Appearance::Dark).defaultActiveSpace;
}

void PreferencesModel::loadActiveColor() {
    if (const auto custom = settings::activeSpaceColor(settings_)) {
        activeSpaceColor_ = *custom;
        hasCustomColor_ = true;
    } else {
        activeSpaceColor_ = defaultActiveColor();
        hasCustomColor_ = false;
    }
    announce(false);
}

void PreferencesModel::appearanceDidChange() {
    if (!hasCustomColor_)
        loadActiveColor();
}

void PreferencesModel::saveActiveColor(Color color) {
    activeSpaceColor_ = color;
    settings_.set(settings::kActiveSpaceColor,
                  Value(ValueArray{Value(color.red), Value(color.green), Value(color.blue),
                                   Value(color.alpha)}));
    hasCustomColor_ = true;
    announce(true);
}

void PreferencesModel::resetActiveColor() {
    settings_.remove(settings::kActiveSpaceColor);
    hasCustomColor_ = false;
    activeSpaceColor_ = defaultActiveColor();
    announce(true);
}

void PreferencesModel::announce(bool imageChanged) {
    if (imageChanged)
        defaultCenter_.post(settings::kButtonPressedNotification);
    changes_.post(kChanged);
}

ObservationToken PreferencesModel::observeChanges(std::function<void()> changed) {
    return changes_.addObserver(kChanged,
                                [changed = std::move(changed)](const Notification&) { changed(); });
}

} // namespace tidemark
