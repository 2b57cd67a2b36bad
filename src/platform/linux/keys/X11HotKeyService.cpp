#include "platform/linux/keys/X11HotKeyService.h"

#include "platform/linux/keys/XKeyTable.h"

#include <xkbcommon/xkbcommon-x11.h>

// xcb's XKB header names a member "explicit", which C++ reserves.
#define explicit explicit_
#include <xcb/xkb.h>
#undef explicit

namespace tidemark::linux_platform {

using KeyBindings::KeyEvent;
using KeyBindings::KeyEventKind;
namespace status = KeyBindings::status;

X11HotKeyService::X11HotKeyService(std::shared_ptr<XConnection> connection, MainQueue& mainQueue)
    : x_(std::move(connection)), mainQueue_(mainQueue) {
    // Held keys then repeat as presses alone, which the filter drops; without the extension
    // the filter recognises the release-press pairs instead.
    if (xkb_x11_setup_xkb_extension(
            x_->raw(), XKB_X11_MIN_MAJOR_XKB_VERSION, XKB_X11_MIN_MINOR_XKB_VERSION,
            XKB_X11_SETUP_XKB_EXTENSION_NO_FLAGS, nullptr, nullptr, nullptr, nullptr)) {
        const auto flag = XCB_XKB_PER_CLIENT_FLAG_DETECTABLE_AUTO_REPEAT;
        std::free(xcb_xkb_per_client_flags_reply(
            x_->raw(),
            xcb_xkb_per_client_flags(x_->raw(), XCB_XKB_ID_USE_CORE_KBD, flag, flag, 0, 0, 0),
            nullptr));
    }
    watcher_ = std::make_unique<FdWatcher>(mainQueue, *this);
}

X11HotKeyService::~X11HotKeyService() {
    watcher_.reset();
    for (const auto& [handle, grabbed] : grabs_)
        ungrab(grabbed.keyCode, grabbed.mask);
    xcb_flush(x_->raw());
}

std::int32_t X11HotKeyService::grab(std::uint8_t keyCode, std::uint16_t mask) {
    std::vector<xcb_void_cookie_t> cookies;
    const auto variants = xkeys::lockVariants(mask);
    for (const auto variant : variants)
        cookies.push_back(xcb_grab_key_checked(x_->raw(), 0, x_->root(), variant, keyCode,
                                               XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC));
    std::int32_t result = status::kNoError;
    std::vector<std::uint16_t> held;
    for (std::size_t i = 0; i < cookies.size(); ++i) {
        Reply<xcb_generic_error_t> error(xcb_request_check(x_->raw(), cookies[i]));
        if (!error) {
            held.push_back(variants[i]);
            continue;
        }
        if (result == status::kNoError)
            result =
                error->error_code == XCB_ACCESS ? status::kEventHotKeyExists : status::kParamErr;
    }
    if (result != status::kNoError)
        for (const auto variant : held)
            xcb_ungrab_key(x_->raw(), keyCode, x_->root(), variant);
    xcb_flush(x_->raw());
    drainSoon();
    return result;
}

void X11HotKeyService::drainSoon() {
    mainQueue_.async([weakSelf = std::weak_ptr<X11HotKeyService*>(self_)] {
        if (const auto self = weakSelf.lock())
            (*self)->dispatchEvents();
    });
}

void X11HotKeyService::ungrab(std::uint8_t keyCode, std::uint16_t mask) {
    for (const auto variant : xkeys::lockVariants(mask))
        xcb_ungrab_key(x_->raw(), keyCode, x_->root(), variant);
}

X11HotKeyService::Registration X11HotKeyService::registerHotKey(std::uint32_t keyCode,
                                                                std::uint32_t modifiers,
                                                                KeyBindings::HotKeyID id) {
    const auto xKey = xkeys::xKeyCode(keyCode);
    const auto mask = xkeys::xModifierMask(modifiers);
    if (!xKey || !mask)
        return {status::kParamErr, std::nullopt};
    for (const auto& [handle, grabbed] : grabs_)
        if (grabbed.keyCode == *xKey && grabbed.mask == *mask)
            return {status::kEventHotKeyExists, std::nullopt};
    if (const auto result = grab(*xKey, *mask); result != status::kNoError)
        return {result, std::nullopt};
    const Handle handle = nextHandle_++;
    grabs_.emplace(handle, Grab{*xKey, *mask, id});
    return {status::kNoError, handle};
}

void X11HotKeyService::unregisterHotKey(Handle handle) {
    const auto it = grabs_.find(handle);
    if (it == grabs_.end())
        return;
    ungrab(it->second.keyCode, it->second.mask);
    xcb_flush(x_->raw());
    grabs_.erase(it);
}

bool X11HotKeyService::installEventHandler(EventHandler handler) {
    handler_ = std::move(handler);
    return true;
}

void X11HotKeyService::dispatchEvents() {
    std::vector<KeyTransition> batch;
    while (auto* raw = xcb_poll_for_event(x_->raw())) {
        Reply<xcb_generic_event_t> event(raw);
        const auto type = event->response_type & 0x7f;
        if (type != XCB_KEY_PRESS && type != XCB_KEY_RELEASE)
            continue;
        const auto& key = *reinterpret_cast<const xcb_key_press_event_t*>(raw);
        batch.push_back({key.detail, type == XCB_KEY_PRESS, key.time, key.state});
    }
    x_->checkAlive();
    for (const auto& transition : repeatFilter_.filter(batch))
        deliver(transition);
}

void X11HotKeyService::deliver(const KeyTransition& transition) {
    std::optional<KeyBindings::HotKeyID> id;
    if (transition.pressed) {
        const auto held =
            std::uint16_t(transition.state & ~(xkeys::kLockMask | xkeys::kNumLockMask));
        for (const auto& [handle, grabbed] : grabs_)
            if (grabbed.keyCode == transition.keyCode && grabbed.mask == held)
                id = grabbed.id;
        if (id)
            activeGrabs_[transition.keyCode] = *id;
    } else if (const auto it = activeGrabs_.find(transition.keyCode); it != activeGrabs_.end()) {
        id = it->second;
        activeGrabs_.erase(it);
    }
    if (!id || !handler_ || !eventTypes_.contains(KeyBindings::EventTypes::HotKey))
        return;
    KeyEvent event{std::uint32_t(transition.pressed ? KeyEventKind::HotKeyPressed
                                                    : KeyEventKind::HotKeyReleased),
                   id};
    handler_(&event);
}

void X11HotKeyService::deliverRawKey(std::uint8_t xKeyCode, std::uint16_t state, bool pressed) {
    const auto code = xkeys::virtualKeyCode(xKeyCode);
    if (!code || !handler_ || !eventTypes_.contains(KeyBindings::EventTypes::RawKey))
        return;
    KeyEvent event{std::uint32_t(pressed ? KeyEventKind::RawKeyDown : KeyEventKind::RawKeyUp),
                   std::nullopt, std::uint32_t(*code),
                   std::uint32_t(xkeys::carbonModifiers(state))};
    handler_(&event);
}

} // namespace tidemark::linux_platform
