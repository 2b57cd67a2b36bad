#pragma once

#include <cstdint>
#include <optional>
#include <vector>

// Stored shortcuts name keys by their position (virtual key codes) and modifiers by the
// hot-key service's bits; X names keys by key codes and modifiers by masks. The translation
// is positional: a virtual key code becomes the evdev code of the key at the same place on a
// PC keyboard, plus 8 (X key codes of the evdev keymaps that Xorg and Xvfb use). See
// docs/ARCHITECTURE.md for the table.
namespace tidemark::linux_platform::xkeys {

std::optional<std::uint8_t> xKeyCode(std::int64_t virtualKeyCode);
std::optional<std::int64_t> virtualKeyCode(std::uint8_t xKeyCode);

// X modifier masks.
inline constexpr std::uint16_t kShiftMask = 1 << 0;
inline constexpr std::uint16_t kLockMask = 1 << 1;
inline constexpr std::uint16_t kControlMask = 1 << 2;
inline constexpr std::uint16_t kMod1Mask = 1 << 3; // Alt
inline constexpr std::uint16_t kMod2Mask = 1 << 4; // Num Lock
inline constexpr std::uint16_t kMod3Mask = 1 << 5;
inline constexpr std::uint16_t kMod4Mask = 1 << 6; // Super
inline constexpr std::uint16_t kMod5Mask = 1 << 7;
inline constexpr std::uint16_t kNumLockMask = kMod2Mask;

// command → Mod4 (Super), option → Mod1 (Alt), control → Control, shift → Shift. Function
// has no X modifier: a set with it, or with any bit outside the five known, has no mask.
std::optional<std::uint16_t> xModifierMask(std::int64_t carbonModifiers);
// The stored bits of an X state; Caps Lock, Num Lock and the other masks are dropped.
std::int64_t carbonModifiers(std::uint16_t xState);

// The masks one grab is made with, so that Caps Lock and Num Lock do not hide the key.
std::vector<std::uint16_t> lockVariants(std::uint16_t mask);

} // namespace tidemark::linux_platform::xkeys
