#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace tidemark::KeyBindings {

// The identity a hot key is registered under: a four-character signature and a number.
struct HotKeyID {
    std::uint32_t signature = 0;
    std::uint32_t id = 0;
    friend bool operator==(const HotKeyID&, const HotKeyID&) = default;
};

constexpr std::uint32_t fourCharCode(const char (&code)[5]) {
    return std::uint32_t(std::uint8_t(code[0])) << 24 | std::uint32_t(std::uint8_t(code[1])) << 16 |
           std::uint32_t(std::uint8_t(code[2])) << 8 | std::uint32_t(std::uint8_t(code[3]));
}

// Keyboard-class event kinds: hot keys pressed and released, raw keys down and up.
enum class KeyEventKind : std::uint32_t {
    RawKeyDown = 1,
    RawKeyUp = 3,
    HotKeyPressed = 5,
    HotKeyReleased = 6,
};

// One keyboard event as the handler reads it. A hot-key event carries the identifier it was
// registered under (absent when reading it fails); a raw key event carries the key code and
// the hot-key service's modifier bits.
struct KeyEvent {
    std::uint32_t kind = 0;
    std::optional<HotKeyID> hotKeyID;
    std::uint32_t keyCode = 0;
    std::uint32_t modifiers = 0;
};

// Status codes of the hot-key service.
namespace status {
inline constexpr std::int32_t kNoError = 0;
inline constexpr std::int32_t kParamErr = -50;
inline constexpr std::int32_t kEventParameterNotFound = -9870;
inline constexpr std::int32_t kEventNotHandled = -9874;
inline constexpr std::int32_t kEventHotKeyExists = -9878;
} // namespace status

enum class EventTypes { HotKey, RawKey };

// The system's hot-key service: system-wide key combinations that reach this program
// whichever app is in front, and the one handler of their events.
class HotKeyService {
public:
    using Handle = std::uint64_t;
    struct Registration {
        std::int32_t status = status::kNoError;
        std::optional<Handle> handle;
    };
    // Answers a status; no event means null.
    using EventHandler = std::function<std::int32_t(const KeyEvent* event)>;

    virtual ~HotKeyService() = default;

    virtual Registration registerHotKey(std::uint32_t keyCode, std::uint32_t modifiers,
                                        HotKeyID id) = 0;
    virtual void unregisterHotKey(Handle handle) = 0;
    // Installs the handler with no event types; false when refused.
    virtual bool installEventHandler(EventHandler handler) = 0;
    virtual void addEventTypes(EventTypes types) = 0;
    virtual void removeEventTypes(EventTypes types) = 0;
};

// Turns a key code into the character the current keyboard layout types for it with no
// modifier, when it types exactly one.
class KeyboardLayout {
public:
    virtual ~KeyboardLayout() = default;
    virtual std::optional<std::string> character(std::int64_t keyCode) = 0;
};

} // namespace tidemark::KeyBindings
