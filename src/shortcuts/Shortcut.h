#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The values of the keyboard-shortcut component: keys, combinations, names and the two
// encodings of modifier keys.
namespace tidemark::KeyBindings {

// A virtual key code: where the key sits on the keyboard, not the character it types.
struct Key {
    std::int64_t rawValue = 0;
    friend bool operator==(const Key&, const Key&) = default;
};

// Every named key: identifier, virtual key code, and the word `tidemark shortcut` accepts.
// clang-format off
#define TIDEMARK_NAMED_KEYS(X) \
    X(a, 0, "a") \
    X(b, 11, "b") \
    X(c, 8, "c") \
    X(d, 2, "d") \
    X(e, 14, "e") \
    X(f, 3, "f") \
    X(g, 5, "g") \
    X(h, 4, "h") \
    X(i, 34, "i") \
    X(j, 38, "j") \
    X(k, 40, "k") \
    X(l, 37, "l") \
    X(m, 46, "m") \
    X(n, 45, "n") \
    X(o, 31, "o") \
    X(p, 35, "p") \
    X(q, 12, "q") \
    X(r, 15, "r") \
    X(s, 1, "s") \
    X(t, 17, "t") \
    X(u, 32, "u") \
    X(v, 9, "v") \
    X(w, 13, "w") \
    X(x, 7, "x") \
    X(y, 16, "y") \
    X(z, 6, "z") \
    X(zero, 29, "0") \
    X(one, 18, "1") \
    X(two, 19, "2") \
    X(three, 20, "3") \
    X(four, 21, "4") \
    X(five, 23, "5") \
    X(six, 22, "6") \
    X(seven, 26, "7") \
    X(eight, 28, "8") \
    X(nine, 25, "9") \
    X(capsLock, 57, "capslock") \
    X(shift, 56, "shiftkey") \
    X(function, 63, "fnkey") \
    X(control, 59, "controlkey") \
    X(option, 58, "optionkey") \
    X(command, 55, "commandkey") \
    X(rightCommand, 54, "rightcommand") \
    X(rightOption, 61, "rightoption") \
    X(rightControl, 62, "rightcontrol") \
    X(rightShift, 60, "rightshift") \
    X(returnKey, 36, "return") \
    X(backslash, 42, "backslash") \
    X(backtick, 50, "grave") \
    X(comma, 43, "comma") \
    X(equal, 24, "equal") \
    X(minus, 27, "minus") \
    X(period, 47, "period") \
    X(quote, 39, "quote") \
    X(semicolon, 41, "semicolon") \
    X(slash, 44, "slash") \
    X(space, 49, "space") \
    X(tab, 48, "tab") \
    X(leftBracket, 33, "leftbracket") \
    X(rightBracket, 30, "rightbracket") \
    X(pageUp, 116, "pageup") \
    X(pageDown, 121, "pagedown") \
    X(home, 115, "home") \
    X(end, 119, "end") \
    X(upArrow, 126, "up") \
    X(rightArrow, 124, "right") \
    X(downArrow, 125, "down") \
    X(leftArrow, 123, "left") \
    X(escape, 53, "escape") \
    X(deleteKey, 51, "backspace") \
    X(deleteForward, 117, "delete") \
    X(help, 114, "insert") \
    X(mute, 74, "mute") \
    X(volumeUp, 72, "volumeup") \
    X(volumeDown, 73, "volumedown") \
    X(f1, 122, "f1") \
    X(f2, 120, "f2") \
    X(f3, 99, "f3") \
    X(f4, 118, "f4") \
    X(f5, 96, "f5") \
    X(f6, 97, "f6") \
    X(f7, 98, "f7") \
    X(f8, 100, "f8") \
    X(f9, 101, "f9") \
    X(f10, 109, "f10") \
    X(f11, 103, "f11") \
    X(f12, 111, "f12") \
    X(f13, 105, "f13") \
    X(f14, 107, "f14") \
    X(f15, 113, "f15") \
    X(f16, 106, "f16") \
    X(f17, 64, "f17") \
    X(f18, 79, "f18") \
    X(f19, 80, "f19") \
    X(f20, 90, "f20") \
    X(keypad0, 82, "keypad0") \
    X(keypad1, 83, "keypad1") \
    X(keypad2, 84, "keypad2") \
    X(keypad3, 85, "keypad3") \
    X(keypad4, 86, "keypad4") \
    X(keypad5, 87, "keypad5") \
    X(keypad6, 88, "keypad6") \
    X(keypad7, 89, "keypad7") \
    X(keypad8, 91, "keypad8") \
    X(keypad9, 92, "keypad9") \
    X(keypadClear, 71, "keypadclear") \
    X(keypadDecimal, 65, "keypaddecimal") \
    X(keypadDivide, 75, "keypaddivide") \
    X(keypadEnter, 76, "keypadenter") \
    X(keypadEquals, 81, "keypadequals") \
    X(keypadMinus, 78, "keypadminus") \
    X(keypadMultiply, 67, "keypadmultiply") \
    X(keypadPlus, 69, "keypadplus")
// clang-format on

namespace key {
#define TIDEMARK_DECLARE_KEY(identifier, code, word) inline constexpr Key identifier{code};
TIDEMARK_NAMED_KEYS(TIDEMARK_DECLARE_KEY)
#undef TIDEMARK_DECLARE_KEY
} // namespace key

struct NamedKey {
    std::string_view word;
    Key key;
};
// Every named key with its word, in the order above.
const std::vector<NamedKey>& namedKeys();

// A key combination: the virtual key code and the modifier bits of the hot-key service.
struct Shortcut {
    std::int64_t carbonKeyCode = 0;
    std::int64_t carbonModifiers = 0;

    Key key() const { return Key{carbonKeyCode}; }
    // Both values fit the hot-key service, which takes 32 unsigned bits each.
    bool fitsHotKeyService() const;

    friend bool operator==(const Shortcut&, const Shortcut&) = default;
};

// A named shortcut. Names are equal when their raw values are, whatever their defaults.
struct Name {
    std::string rawValue;
    std::optional<Shortcut> defaultShortcut;

    friend bool operator==(const Name& a, const Name& b) { return a.rawValue == b.rawValue; }
};

// Modifier bits as the hot-key service stores them, and as the window system's event flags.
namespace modifier {
inline constexpr std::int64_t kCommand = 0x100;
inline constexpr std::int64_t kShift = 0x200;
inline constexpr std::int64_t kOption = 0x800;
inline constexpr std::int64_t kControl = 0x1000;
inline constexpr std::int64_t kFunction = 0x20000;
} // namespace modifier

namespace event_flag {
inline constexpr std::uint64_t kCapsLock = 0x10000;
inline constexpr std::uint64_t kShift = 0x20000;
inline constexpr std::uint64_t kControl = 0x40000;
inline constexpr std::uint64_t kOption = 0x80000;
inline constexpr std::uint64_t kCommand = 0x100000;
inline constexpr std::uint64_t kNumericPad = 0x200000;
inline constexpr std::uint64_t kFunction = 0x800000;
// The flags that do not depend on the keyboard device.
inline constexpr std::uint64_t kDeviceIndependent = 0xFFFF0000;
} // namespace event_flag

// Both conversions keep the five known modifiers and drop every other bit.
std::uint64_t eventFlagsFromCarbon(std::int64_t carbonModifiers);
std::int64_t carbonFromEventFlags(std::uint64_t eventFlags);

} // namespace tidemark::KeyBindings

template <> struct std::hash<tidemark::KeyBindings::Shortcut> {
    std::size_t operator()(const tidemark::KeyBindings::Shortcut& s) const noexcept {
        return std::hash<std::int64_t>{}(s.carbonKeyCode) * 31u ^
               std::hash<std::int64_t>{}(s.carbonModifiers);
    }
};

template <> struct std::hash<tidemark::KeyBindings::Name> {
    std::size_t operator()(const tidemark::KeyBindings::Name& n) const noexcept {
        return std::hash<std::string>{}(n.rawValue);
    }
};
