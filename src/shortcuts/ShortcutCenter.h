#pragma once

#include "foundation/NotificationCenter.h"
#include "foundation/SettingsStore.h"
#include "shortcuts/CarbonHotKeys.h"
#include "shortcuts/HotKeyService.h"
#include "shortcuts/Shortcut.h"
#include "shortcuts/ShortcutDescription.h"

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <unordered_set>
#include <vector>

namespace tidemark::KeyBindings {

// Posted on the default centre; user info "name" holds the name's raw value.
inline constexpr const char* kShortcutByNameDidChangeNotification =
    "KeyBindings_shortcutByNameDidChange";
// Posted on the default centre; user info "isActive" holds a boolean.
inline constexpr const char* kRecorderActiveStatusDidChangeNotification =
    "KeyBindings_recorderActiveStatusDidChange";
// Posted by the views on the default centre while one of the program's menus is tracked;
// hot keys then come through the raw key path.
inline constexpr const char* kMenuDidBeginTrackingNotification =
    "NSMenuDidBeginTrackingNotification";
inline constexpr const char* kMenuDidEndTrackingNotification = "NSMenuDidEndTrackingNotification";

// The keyboard-shortcut component: named shortcuts stored in the settings, their hot keys,
// and the actions that run when one is pressed or released. One per process, main thread.
class ShortcutCenter : public std::enable_shared_from_this<ShortcutCenter> {
public:
    using Action = std::function<void()>;
    using PrintLine = CarbonHotKeys::PrintLine;

    struct Services {
        SettingsStore& settings;
        NotificationCenter& defaultCenter;
        HotKeyService& hotKeyService;
        KeyboardLayout& keyboardLayout;
        // How descriptions and the refusal line write combinations: the platform's choice.
        DescriptionStyle descriptionStyle;
        // Where a refused registration is reported (standard output by default).
        PrintLine printLine = {};
    };

    // Starts observing the menu notifications and the settings store: an entry changed by
    // another process moves the hot keys at once.
    static std::shared_ptr<ShortcutCenter> create(Services services);

    // Declares a name. With a default and no entry at all under its key, the default is
    // stored and registered.
    Name name(std::string rawValue, std::optional<Shortcut> defaultShortcut = std::nullopt);
    // Every declared name and every name with actions, in raw-value order.
    std::vector<Name> knownNames() const;
    std::optional<Name> knownName(std::string_view rawValue) const;

    std::optional<Shortcut> getShortcut(const Name& name) const;
    void setShortcut(std::optional<Shortcut> shortcut, const Name& name);
    void resetToDefaults(const std::vector<Name>& names);
    void disable(const std::vector<Name>& names);
    void enable(const std::vector<Name>& names);

    void addKeyDownAction(const Name& name, Action action);
    void addKeyUpAction(const Name& name, Action action);

    bool hotKeysEnabled() const { return hotKeys_->hotKeysEnabled(); }
    void setHotKeysEnabled(bool enabled) { hotKeys_->setHotKeysEnabled(enabled); }
    bool isRecorderActive() const { return isRecorderActive_; }
    // Set by a recorder while it captures keys; announced on the default centre.
    void setRecorderActive(bool active);

    std::string description(const Shortcut& shortcut) const;
    bool isRegistered(const Shortcut& shortcut) const {
        return registeredShortcuts_.contains(shortcut);
    }
    CarbonHotKeys& hotKeys() { return *hotKeys_; }

private:
    explicit ShortcutCenter(Services services);
    void startObserving();

    using HandlerMap = std::map<std::string, std::vector<Action>, std::less<>>;
    void addAction(HandlerMap& handlers, const Name& name, Action action);
    void remember(const Name& name);
    void registerShortcut(const Shortcut& shortcut);
    // Unregisters unless another known name still stores the combination.
    void releaseShortcut(const Shortcut& shortcut, const Name& owner);
    void storedEntryChanged(const std::string& rawValue);
    void postChange(const Name& name);
    void writeEntry(const Name& name, Value value);
    void dispatch(const Shortcut& pressed, bool keyDown);

    Services services_;
    std::shared_ptr<CarbonHotKeys> hotKeys_;
    std::map<std::string, Name, std::less<>> names_;
    std::unordered_set<Shortcut> registeredShortcuts_;
    HandlerMap keyDownHandlers_;
    HandlerMap keyUpHandlers_;
    std::set<std::string, std::less<>> disabledNames_;
    bool isRecorderActive_ = false;
    bool writing_ = false;
    ObservationToken menuBegan_;
    ObservationToken menuEnded_;
    ObservationToken settingsChanged_;
};

} // namespace tidemark::KeyBindings
