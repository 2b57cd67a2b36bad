#include "platform/linux/keys/XkbKeyboardLayout.h"

#include "platform/linux/keys/XKeyTable.h"
#include "shortcuts/Shortcut.h"

#include <xkbcommon/xkbcommon-x11.h>
#include <xkbcommon/xkbcommon.h>

namespace tidemark::linux_platform {
namespace {

// The character a key types at the base level of a layout (an XKB group), when one
// printable character.
std::optional<std::string> baseCharacter(xkb_keymap* keymap, xkb_keycode_t key,
                                         xkb_layout_index_t layout) {
    const xkb_keysym_t* syms = nullptr;
    if (xkb_keymap_key_get_syms_by_level(keymap, key, layout, 0, &syms) != 1)
        return std::nullopt;
    const auto codePoint = xkb_keysym_to_utf32(syms[0]);
    if (codePoint < 0x20 || codePoint == 0x7f)
        return std::nullopt;
    char utf8[8] = {};
    if (xkb_keysym_to_utf8(syms[0], utf8, sizeof utf8) <= 1)
        return std::nullopt;
    return std::string(utf8);
}

// A layout whose letter keys all type ASCII characters: Latin layouts (German, French,
// Dvorak) are, Cyrillic or Greek ones are not.
bool isAsciiCapable(xkb_keymap* keymap, xkb_layout_index_t layout) {
    for (const auto& named : KeyBindings::namedKeys()) {
        const bool letter = named.word.size() == 1 && named.word[0] >= 'a' && named.word[0] <= 'z';
        const auto xKey = letter ? xkeys::xKeyCode(named.key.rawValue) : std::nullopt;
        if (!xKey)
            continue;
        const auto typed = baseCharacter(keymap, *xKey, layout);
        if (!typed || typed->size() != 1 || static_cast<unsigned char>((*typed)[0]) >= 0x80)
            return false;
    }
    return true;
}

} // namespace

XkbKeyboardLayout::XkbKeyboardLayout(std::shared_ptr<XConnection> connection)
    : x_(std::move(connection)), context_(xkb_context_new(XKB_CONTEXT_NO_FLAGS)) {
    if (x_ && !xkb_x11_setup_xkb_extension(
                  x_->raw(), XKB_X11_MIN_MAJOR_XKB_VERSION, XKB_X11_MIN_MINOR_XKB_VERSION,
                  XKB_X11_SETUP_XKB_EXTENSION_NO_FLAGS, nullptr, nullptr, nullptr, nullptr))
        x_.reset();
}

XkbKeyboardLayout::~XkbKeyboardLayout() {
    xkb_keymap_unref(usKeymap_);
    xkb_state_unref(state_);
    xkb_keymap_unref(keymap_);
    xkb_context_unref(context_);
}

bool XkbKeyboardLayout::load() {
    if (!context_)
        return false;
    if (keymap_ && !x_)
        return true; // the default layout does not change
    xkb_keymap* keymap = nullptr;
    xkb_state* state = nullptr;
    if (x_) {
        const auto device = xkb_x11_get_core_keyboard_device_id(x_->raw());
        if (device >= 0)
            keymap = xkb_x11_keymap_new_from_device(context_, x_->raw(), device,
                                                    XKB_KEYMAP_COMPILE_NO_FLAGS);
        if (keymap)
            state = xkb_x11_state_new_from_device(keymap, x_->raw(), device);
    } else {
        keymap = xkb_keymap_new_from_names(context_, nullptr, XKB_KEYMAP_COMPILE_NO_FLAGS);
        if (keymap)
            state = xkb_state_new(keymap);
    }
    if (!keymap || !state) {
        xkb_state_unref(state);
        xkb_keymap_unref(keymap);
        return false;
    }
    xkb_state_unref(state_);
    xkb_keymap_unref(keymap_);
    keymap_ = keymap;
    state_ = state;
    return true;
}

std::optional<std::string> XkbKeyboardLayout::character(std::int64_t keyCode) {
    const auto xKey = xkeys::xKeyCode(keyCode);
    if (!xKey || !load())
        return std::nullopt;
    const auto active = xkb_state_key_get_layout(state_, *xKey);
    if (active == XKB_LAYOUT_INVALID)
        return std::nullopt;
    // Labels are read back as words: under a Cyrillic group the key still reads as the
    // Latin group's letter, and without a Latin group as the US layout's.
    if (isAsciiCapable(keymap_, active))
        return baseCharacter(keymap_, *xKey, active);
    const auto layouts = xkb_keymap_num_layouts(keymap_);
    for (xkb_layout_index_t layout = 0; layout < layouts; ++layout)
        if (isAsciiCapable(keymap_, layout))
            return baseCharacter(keymap_, *xKey, layout);
    if (!usKeymap_) {
        // Not the XKB_DEFAULT_* variables: their variant may not exist for "us".
        xkb_context* plain = xkb_context_new(XKB_CONTEXT_NO_ENVIRONMENT_NAMES);
        const xkb_rule_names us{nullptr, nullptr, "us", nullptr, nullptr};
        usKeymap_ =
            plain ? xkb_keymap_new_from_names(plain, &us, XKB_KEYMAP_COMPILE_NO_FLAGS) : nullptr;
        xkb_context_unref(plain);
    }
    return usKeymap_ ? baseCharacter(usKeymap_, *xKey, 0) : baseCharacter(keymap_, *xKey, active);
}

std::optional<std::uint8_t> XkbKeyboardLayout::xKeyCodeForKeysym(std::string_view name) {
    const std::string text(name);
    auto sym = xkb_keysym_from_name(text.c_str(), XKB_KEYSYM_NO_FLAGS);
    if (sym == XKB_KEY_NoSymbol)
        sym = xkb_keysym_from_name(text.c_str(), XKB_KEYSYM_CASE_INSENSITIVE);
    if (sym == XKB_KEY_NoSymbol || !load())
        return std::nullopt;
    const auto first = xkb_keymap_min_keycode(keymap_);
    const auto last = std::min<xkb_keycode_t>(xkb_keymap_max_keycode(keymap_), 255);
    for (xkb_level_index_t level = 0; level < 4; ++level)
        for (auto code = first; code <= last; ++code) {
            if (level >= xkb_keymap_num_levels_for_key(keymap_, code, 0))
                continue;
            const xkb_keysym_t* syms = nullptr;
            const int count = xkb_keymap_key_get_syms_by_level(keymap_, code, 0, level, &syms);
            for (int i = 0; i < count; ++i)
                if (syms[i] == sym)
                    return std::uint8_t(code);
        }
    return std::nullopt;
}

} // namespace tidemark::linux_platform
