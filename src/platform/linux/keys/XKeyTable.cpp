#include "platform/linux/keys/XKeyTable.h"

#include "shortcuts/Shortcut.h"

#include <array>
#include <utility>

namespace tidemark::linux_platform::xkeys {
namespace {

namespace key = KeyBindings::key;

// Virtual key code → X key code (evdev + 8). Keys without a PC counterpart are left out.
constexpr std::array<std::pair<std::int64_t, std::uint8_t>, 112> kTable{{
    {key::a.rawValue, 38},
    {key::s.rawValue, 39},
    {key::d.rawValue, 40},
    {key::f.rawValue, 41},
    {key::h.rawValue, 43},
    {key::g.rawValue, 42},
    {key::z.rawValue, 52},
    {key::x.rawValue, 53},
    {key::c.rawValue, 54},
    {key::v.rawValue, 55},
    {key::b.rawValue, 56},
    {key::q.rawValue, 24},
    {key::w.rawValue, 25},
    {key::e.rawValue, 26},
    {key::r.rawValue, 27},
    {key::y.rawValue, 29},
    {key::t.rawValue, 28},
    {key::one.rawValue, 10},
    {key::two.rawValue, 11},
    {key::three.rawValue, 12},
    {key::four.rawValue, 13},
    {key::six.rawValue, 15},
    {key::five.rawValue, 14},
    {key::equal.rawValue, 21},
    {key::nine.rawValue, 18},
    {key::seven.rawValue, 16},
    {key::minus.rawValue, 20},
    {key::eight.rawValue, 17},
    {key::zero.rawValue, 19},
    {key::rightBracket.rawValue, 35},
    {key::o.rawValue, 32},
    {key::u.rawValue, 30},
    {key::leftBracket.rawValue, 34},
    {key::i.rawValue, 31},
    {key::p.rawValue, 33},
    {key::returnKey.rawValue, 36},
    {key::l.rawValue, 46},
    {key::j.rawValue, 44},
    {key::quote.rawValue, 48},
    {key::k.rawValue, 45},
    {key::semicolon.rawValue, 47},
    {key::backslash.rawValue, 51},
    {key::comma.rawValue, 59},
    {key::slash.rawValue, 61},
    {key::n.rawValue, 57},
    {key::m.rawValue, 58},
    {key::period.rawValue, 60},
    {key::tab.rawValue, 23},
    {key::space.rawValue, 65},
    {key::backtick.rawValue, 49},
    {key::deleteKey.rawValue, 22},
    {key::escape.rawValue, 9},
    {key::rightCommand.rawValue, 134},
    {key::command.rawValue, 133},
    {key::shift.rawValue, 50},
    {key::capsLock.rawValue, 66},
    {key::option.rawValue, 64},
    {key::control.rawValue, 37},
    {key::rightShift.rawValue, 62},
    {key::rightOption.rawValue, 108},
    {key::rightControl.rawValue, 105},
    {key::f17.rawValue, 195},
    {key::keypadDecimal.rawValue, 91},
    {key::keypadMultiply.rawValue, 63},
    {key::keypadPlus.rawValue, 86},
    {key::keypadClear.rawValue, 77},
    {key::volumeUp.rawValue, 123},
    {key::volumeDown.rawValue, 122},
    {key::mute.rawValue, 121},
    {key::keypadDivide.rawValue, 106},
    {key::keypadEnter.rawValue, 104},
    {key::keypadMinus.rawValue, 82},
    {key::f18.rawValue, 196},
    {key::f19.rawValue, 197},
    {key::keypadEquals.rawValue, 125},
    {key::keypad0.rawValue, 90},
    {key::keypad1.rawValue, 87},
    {key::keypad2.rawValue, 88},
    {key::keypad3.rawValue, 89},
    {key::keypad4.rawValue, 83},
    {key::keypad5.rawValue, 84},
    {key::keypad6.rawValue, 85},
    {key::keypad7.rawValue, 79},
    {key::keypad8.rawValue, 80},
    {key::keypad9.rawValue, 81},
    {key::f20.rawValue, 198},
    {key::f5.rawValue, 71},
    {key::f6.rawValue, 72},
    {key::f7.rawValue, 73},
    {key::f3.rawValue, 69},
    {key::f8.rawValue, 74},
    {key::f9.rawValue, 75},
    {key::f11.rawValue, 95},
    {key::f13.rawValue, 191},
    {key::f16.rawValue, 194},
    {key::f14.rawValue, 192},
    {key::f10.rawValue, 76},
    {key::f12.rawValue, 96},
    {key::f15.rawValue, 193},
    {key::help.rawValue, 118},
    {key::home.rawValue, 110},
    {key::pageUp.rawValue, 112},
    {key::deleteForward.rawValue, 119},
    {key::f4.rawValue, 70},
    {key::end.rawValue, 115},
    {key::f2.rawValue, 68},
    {key::pageDown.rawValue, 117},
    {key::f1.rawValue, 67},
    {key::leftArrow.rawValue, 113},
    {key::rightArrow.rawValue, 114},
    {key::downArrow.rawValue, 116},
    {key::upArrow.rawValue, 111},
}};

struct ModifierPair {
    std::int64_t carbon;
    std::uint16_t mask;
};
constexpr std::array<ModifierPair, 4> kModifiers{{
    {KeyBindings::modifier::kCommand, kMod4Mask},
    {KeyBindings::modifier::kOption, kMod1Mask},
    {KeyBindings::modifier::kControl, kControlMask},
    {KeyBindings::modifier::kShift, kShiftMask},
}};

} // namespace

std::optional<std::uint8_t> xKeyCode(std::int64_t virtualKeyCode) {
    for (const auto& [code, x] : kTable)
        if (code == virtualKeyCode)
            return x;
    return std::nullopt;
}

std::optional<std::int64_t> virtualKeyCode(std::uint8_t xKeyCode) {
    for (const auto& [code, x] : kTable)
        if (x == xKeyCode)
            return code;
    return std::nullopt;
}

std::optional<std::uint16_t> xModifierMask(std::int64_t carbonModifiers) {
    std::uint16_t mask = 0;
    std::int64_t left = carbonModifiers;
    for (const auto& [carbon, x] : kModifiers)
        if (carbonModifiers & carbon) {
            mask |= x;
            left &= ~carbon;
        }
    if (left != 0)
        return std::nullopt;
    return mask;
}

std::int64_t carbonModifiers(std::uint16_t xState) {
    std::int64_t carbon = 0;
    for (const auto& [bits, x] : kModifiers)
        if (xState & x)
            carbon |= bits;
    return carbon;
}

std::vector<std::uint16_t> lockVariants(std::uint16_t mask) {
    return {mask, std::uint16_t(mask | kLockMask), std::uint16_t(mask | kNumLockMask),
            std::uint16_t(mask | kLockMask | kNumLockMask)};
}

} // namespace tidemark::linux_platform::xkeys
