#pragma once

#include "shortcuts/HotKeyService.h"
#include "shortcuts/Shortcut.h"

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>

namespace tidemark::KeyBindings {

// The layer over the hot-key service: records of registered combinations, the one event
// handler, and the switch to raw key events while a menu of the program is being tracked
// (the service delivers nothing then). Main thread only.
class CarbonHotKeys : public std::enable_shared_from_this<CarbonHotKeys> {
public:
    using KeyHandler = std::function<void(const Shortcut&)>;
    using Describe = std::function<std::string(const Shortcut&)>;
    using PrintLine = std::function<void(const std::string&)>;

    static constexpr std::uint32_t kSignature = fourCharCode("QLKS");

    struct HotKey {
        Shortcut shortcut;
        std::int64_t carbonHotKeyId = 0;
        std::optional<HotKeyService::Handle> carbonHotKey; // absent while suspended
        KeyHandler onKeyDown;
        KeyHandler onKeyUp;
    };

    // `describe` names a shortcut in the refusal line, which goes to `printLine`.
    static std::shared_ptr<CarbonHotKeys> create(HotKeyService& service, Describe describe,
                                                 PrintLine printLine);

    // Registers the combination; a refusal prints one "Error registering hotkey " line and
    // keeps nothing. A combination that does not fit the service is refused without asking
    // it. Returns whether a hot key now exists.
    bool registerShortcut(const Shortcut& shortcut, KeyHandler onKeyDown, KeyHandler onKeyUp);
    // Removes every record of this combination.
    void unregisterShortcut(const Shortcut& shortcut);

    bool hotKeysEnabled() const { return hotKeysEnabled_; }
    void setHotKeysEnabled(bool enabled);
    bool isMenuOpen() const { return isMenuOpen_; }
    void setMenuOpen(bool open);

    // The event handler the service calls; also the entry of raw key events.
    std::int32_t handleEvent(const KeyEvent* event);

    const std::map<std::int64_t, HotKey>& hotKeys() const { return hotKeys_; }

private:
    CarbonHotKeys(HotKeyService& service, Describe describe, PrintLine printLine)
        : service_(service), describe_(std::move(describe)), printLine_(std::move(printLine)) {}

    HotKeyService::Registration registerWithService(const Shortcut& shortcut, std::int64_t id);
    void printRefusal(const Shortcut& shortcut, std::int32_t status);
    void updateEventHandler();
    void suspendAll();

    HotKeyService& service_;
    Describe describe_;
    PrintLine printLine_;
    std::map<std::int64_t, HotKey> hotKeys_;
    std::int64_t hotKeyIDCounter_ = 0;
    bool eventHandlerInstalled_ = false;
    bool hotKeysEnabled_ = true;
    bool isMenuOpen_ = false;
};

} // namespace tidemark::KeyBindings
