#pragma once

#include "shortcuts/HotKeyService.h"

#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <utility>

namespace tidemark::sim {

// A hot-key service that records what is registered and delivers simulated key presses the
// way the real service would: a registered combination as a hot-key event, anything while
// raw key events are wanted as a raw event, and nothing otherwise.
class SimHotKeyService final : public KeyBindings::HotKeyService {
public:
    struct Registered {
        std::uint32_t keyCode = 0;
        std::uint32_t modifiers = 0;
        KeyBindings::HotKeyID id;
    };

    Registration registerHotKey(std::uint32_t keyCode, std::uint32_t modifiers,
                                KeyBindings::HotKeyID id) override;
    void unregisterHotKey(Handle handle) override;
    bool installEventHandler(EventHandler handler) override;
    void addEventTypes(KeyBindings::EventTypes types) override { eventTypes_.insert(types); }
    void removeEventTypes(KeyBindings::EventTypes types) override { eventTypes_.erase(types); }

    // Another program holds this combination: registering it is refused.
    void takeByOtherProgram(std::uint32_t keyCode, std::uint32_t modifiers);
    // A key goes down or up; answers the handler's status, or nothing when no event is
    // delivered.
    std::optional<std::int32_t> press(std::uint32_t keyCode, std::uint32_t modifiers, bool down);

    const std::map<Handle, Registered>& registered() const { return registered_; }
    int registerCalls() const { return registerCalls_; }
    bool wants(KeyBindings::EventTypes types) const { return eventTypes_.contains(types); }
    bool hasHandler() const { return static_cast<bool>(handler_); }

private:
    std::map<Handle, Registered> registered_;
    std::set<std::pair<std::uint32_t, std::uint32_t>> taken_;
    std::set<KeyBindings::EventTypes> eventTypes_;
    EventHandler handler_;
    Handle nextHandle_ = 1;
    int registerCalls_ = 0;
};

// A US keyboard layout; tests may make a key type another character, or none.
class SimKeyboardLayout final : public KeyBindings::KeyboardLayout {
public:
    std::optional<std::string> character(std::int64_t keyCode) override;
    void setCharacter(std::int64_t keyCode, std::optional<std::string> character) {
        overrides_[keyCode] = std::move(character);
    }

private:
    std::map<std::int64_t, std::optional<std::string>> overrides_;
};

} // namespace tidemark::sim
