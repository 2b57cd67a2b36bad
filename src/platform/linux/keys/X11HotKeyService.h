#pragma once

#include "foundation/MainQueue.h"
#include "platform/linux/FdWatcher.h"
#include "platform/linux/keys/KeyRepeatFilter.h"
#include "platform/linux/x11/XConnection.h"
#include "shortcuts/HotKeyService.h"

#include <cstdint>
#include <map>
#include <memory>
#include <set>

namespace tidemark::linux_platform {

// Hot keys as passive key grabs on the root window, one per lock variant (Caps Lock and Num
// Lock would otherwise hide the key). A grab another client holds is a refusal with the
// "exists" status. Presses and releases arrive on this service's own connection; auto-repeat
// is dropped, and a release is matched to the grab its press activated, whatever modifiers
// are still held.
class X11HotKeyService final : public KeyBindings::HotKeyService, public EventSource {
public:
    // `connection` must be this service's alone: the grabbed keys are delivered on it.
    X11HotKeyService(std::shared_ptr<XConnection> connection, MainQueue& mainQueue);
    ~X11HotKeyService() override;

    Registration registerHotKey(std::uint32_t keyCode, std::uint32_t modifiers,
                                KeyBindings::HotKeyID id) override;
    void unregisterHotKey(Handle handle) override;
    bool installEventHandler(EventHandler handler) override;
    void addEventTypes(KeyBindings::EventTypes types) override { eventTypes_.insert(types); }
    void removeEventTypes(KeyBindings::EventTypes types) override { eventTypes_.erase(types); }

    // A key event that reached one of the program's own windows while its menu holds the
    // keyboard (X key code and state); it goes to the raw key path when that is wanted.
    void deliverRawKey(std::uint8_t xKeyCode, std::uint16_t state, bool pressed);

    std::vector<int> eventFds() override { return {x_->fd()}; }
    void dispatchEvents() override;

private:
    struct Grab {
        std::uint8_t keyCode;
        std::uint16_t mask;
        KeyBindings::HotKeyID id;
    };
    // Status of grabbing every lock variant; on failure none is left grabbed.
    std::int32_t grab(std::uint8_t keyCode, std::uint16_t mask);
    void ungrab(std::uint8_t keyCode, std::uint16_t mask);
    void deliver(const KeyTransition& transition);
    // Replies read on the main thread may have queued events that no readable descriptor
    // announces any more; look at the queue once the current work is done.
    void drainSoon();

    std::shared_ptr<XConnection> x_;
    std::map<Handle, Grab> grabs_;
    std::map<std::uint8_t, KeyBindings::HotKeyID> activeGrabs_; // by the key held down
    std::set<KeyBindings::EventTypes> eventTypes_;
    EventHandler handler_;
    Handle nextHandle_ = 1;
    KeyRepeatFilter repeatFilter_;
    MainQueue& mainQueue_;
    std::shared_ptr<X11HotKeyService*> self_ = std::make_shared<X11HotKeyService*>(this);
    std::unique_ptr<FdWatcher> watcher_;
};

} // namespace tidemark::linux_platform
