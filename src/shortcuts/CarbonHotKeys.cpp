#include "shortcuts/CarbonHotKeys.h"

namespace tidemark::KeyBindings {

std::shared_ptr<CarbonHotKeys> CarbonHotKeys::create(HotKeyService& service, Describe describe,
                                                     PrintLine printLine) {
    return std::shared_ptr<CarbonHotKeys>(
        new CarbonHotKeys(service, std::move(describe), std::move(printLine)));
}

HotKeyService::Registration CarbonHotKeys::registerWithService(const Shortcut& shortcut,
                                                               std::int64_t id) {
    // A value stored by other means may be out of the service's range; it never reaches it.
    if (!shortcut.fitsHotKeyService() || id < 0 || id > std::int64_t{UINT32_MAX})
        return {status::kParamErr, std::nullopt};
    return service_.registerHotKey(std::uint32_t(shortcut.carbonKeyCode),
                                   std::uint32_t(shortcut.carbonModifiers),
                                   HotKeyID{kSignature, std::uint32_t(id)});
}

void CarbonHotKeys::printRefusal(const Shortcut& shortcut, std::int32_t status) {
    printLine_("Error registering hotkey " + describe_(shortcut) + ": " + std::to_string(status));
}

bool CarbonHotKeys::registerShortcut(const Shortcut& shortcut, KeyHandler onKeyDown,
                                     KeyHandler onKeyUp) {
    const std::int64_t id = ++hotKeyIDCounter_;
    const auto registration = registerWithService(shortcut, id);
    if (registration.status != status::kNoError || !registration.handle) {
        printRefusal(shortcut, registration.status);
        return false;
    }
    hotKeys_.insert_or_assign(
        id, HotKey{shortcut, id, registration.handle, std::move(onKeyDown), std::move(onKeyUp)});
    if (!eventHandlerInstalled_) {
        std::weak_ptr<CarbonHotKeys> weakSelf = weak_from_this();
        eventHandlerInstalled_ = service_.installEventHandler([weakSelf](const KeyEvent* event) {
            const auto self = weakSelf.lock();
            return self ? self->handleEvent(event) : status::kEventNotHandled;
        });
        if (eventHandlerInstalled_)
            updateEventHandler();
    }
    return true;
}

void CarbonHotKeys::unregisterShortcut(const Shortcut& shortcut) {
    for (auto it = hotKeys_.begin(); it != hotKeys_.end();) {
        if (it->second.shortcut != shortcut) {
            ++it;
            continue;
        }
        if (it->second.carbonHotKey)
            service_.unregisterHotKey(*it->second.carbonHotKey);
        it = hotKeys_.erase(it);
    }
}

void CarbonHotKeys::setHotKeysEnabled(bool enabled) {
    if (enabled == hotKeysEnabled_)
        return;
    hotKeysEnabled_ = enabled;
    updateEventHandler();
}

void CarbonHotKeys::setMenuOpen(bool open) {
    if (open == isMenuOpen_)
        return;
    isMenuOpen_ = open;
    updateEventHandler();
}

void CarbonHotKeys::suspendAll() {
    for (auto& [id, hotKey] : hotKeys_) {
        if (hotKey.carbonHotKey)
            service_.unregisterHotKey(*hotKey.carbonHotKey);
        hotKey.carbonHotKey.reset();
    }
}

void CarbonHotKeys::updateEventHandler() {
    if (!eventHandlerInstalled_)
        return;
    if (!hotKeysEnabled_) {
        suspendAll();
        service_.removeEventTypes(EventTypes::HotKey);
        service_.removeEventTypes(EventTypes::RawKey);
        return;
    }
    if (!isMenuOpen_) {
        for (auto it = hotKeys_.begin(); it != hotKeys_.end();) {
            auto& hotKey = it->second;
            if (hotKey.carbonHotKey) {
                ++it;
                continue;
            }
            const auto registration = registerWithService(hotKey.shortcut, hotKey.carbonHotKeyId);
            if (registration.status == status::kNoError && registration.handle) {
                hotKey.carbonHotKey = registration.handle;
                ++it;
            } else {
                printRefusal(hotKey.shortcut, registration.status);
                it = hotKeys_.erase(it);
            }
        }
        service_.removeEventTypes(EventTypes::RawKey);
        service_.addEventTypes(EventTypes::HotKey);
        return;
    }
    suspendAll();
    service_.removeEventTypes(EventTypes::HotKey);
    service_.addEventTypes(EventTypes::RawKey);
}

std::int32_t CarbonHotKeys::handleEvent(const KeyEvent* event) {
    if (!event)
        return status::kEventNotHandled;
    const auto kind = static_cast<KeyEventKind>(event->kind);
    const HotKey* found = nullptr;
    switch (kind) {
    case KeyEventKind::HotKeyPressed:
    case KeyEventKind::HotKeyReleased: {
        if (!event->hotKeyID)
            return status::kEventParameterNotFound;
        if (event->hotKeyID->signature != kSignature)
            return status::kEventNotHandled;
        const auto it = hotKeys_.find(event->hotKeyID->id);
        if (it == hotKeys_.end())
            return status::kEventNotHandled;
        found = &it->second;
        break;
    }
    case KeyEventKind::RawKeyDown:
    case KeyEventKind::RawKeyUp: {
        const Shortcut pressed{event->keyCode,
                               carbonFromEventFlags(eventFlagsFromCarbon(event->modifiers))};
        for (const auto& [id, hotKey] : hotKeys_)
            if (hotKey.shortcut == pressed) {
                found = &hotKey;
                break;
            }
        if (!found)
            return status::kEventNotHandled;
        break;
    }
    default:
        return status::kEventNotHandled;
    }
    // The action may change the records; run copies.
    const Shortcut shortcut = found->shortcut;
    const bool down = kind == KeyEventKind::HotKeyPressed || kind == KeyEventKind::RawKeyDown;
    const KeyHandler handler = down ? found->onKeyDown : found->onKeyUp;
    if (handler)
        handler(shortcut);
    return status::kNoError;
}

} // namespace tidemark::KeyBindings
