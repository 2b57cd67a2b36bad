#pragma once

#include "foundation/Color.h"
#include "foundation/NotificationCenter.h"
#include "foundation/SettingsStore.h"
#include "icon/SkywardStyle.h"
#include "preferences/LoginItem.h"
#include "spaces/Workspace.h"

#include <functional>

namespace tidemark {

// What the preferences window shows and changes. Controls that change the strip's image
// post "ButtonPressed" on the default centre so the observer refreshes at once; the view
// state (the colour shown, whether it is custom) is rebuilt from the store when the window
// is shown.
class PreferencesModel {
public:
    PreferencesModel(SettingsStore& settings, NotificationCenter& defaultCenter,
                     LoginItem& loginItem, std::function<Appearance()> appearance);

    SkywardStyle selectedStyle() const;
    void setSelectedStyle(SkywardStyle style);
    bool useHighContrastBorders() const;
    void setUseHighContrastBorders(bool on);
    bool hoverPopupEnabled() const;
    // Read at the next pointer move; nothing is posted.
    void setHoverPopupEnabled(bool on);
    bool scrollSwitchesSpaces() const;
    // Read at the next wheel notch; nothing is posted.
    void setScrollSwitchesSpaces(bool on);

    bool launchAtLogin() const { return loginItem_.isEnabled(); }
    void setLaunchAtLogin(bool on);
    // Shown beside the switch where the session would not act on it by itself.
    std::optional<std::string> launchAtLoginHint() const { return loginItem_.manualStartHint(); }

    Color activeSpaceColor() const { return activeSpaceColor_; }
    bool hasCustomColor() const { return hasCustomColor_; }
    // When the window is shown.
    void loadActiveColor();
    // The default colour follows the appearance; a custom one stays.
    void appearanceDidChange();
    void saveActiveColor(Color color);
    void resetActiveColor();

    // Hears every change of what the window shows, after it happened.
    [[nodiscard]] ObservationToken observeChanges(std::function<void()> changed);

private:
    Color defaultActiveColor() const;
    void announce(bool imageChanged);

    SettingsStore& settings_;
    NotificationCenter& defaultCenter_;
    LoginItem& loginItem_;
    std::function<Appearance()> appearance_;
    Color activeSpaceColor_;
    bool hasCustomColor_ = false;
    NotificationCenter changes_;
    ObservationToken settingsToken_;
};

} // namespace tidemark
