#pragma once

#include "foundation/NotificationCenter.h"
#include "foundation/SettingsStore.h"
#include "platform/sim/SimHotKeyService.h"
#include "shortcuts/ShortcutCenter.h"

#include <memory>
#include <string>
#include <vector>

namespace tidemark::testing {

// A shortcut component over an in-memory store and the sim hot-key service, with the lines
// it prints collected.
struct ShortcutWorld {
    explicit ShortcutWorld(ValueDictionary stored = {}) : settings(std::move(stored)) {}

    SettingsStore settings;
    NotificationCenter defaultCenter;
    sim::SimHotKeyService service;
    sim::SimKeyboardLayout layout;
    std::vector<std::string> lines;
    std::shared_ptr<KeyBindings::ShortcutCenter> shortcuts = KeyBindings::ShortcutCenter::create(
        {settings, defaultCenter, service, layout, KeyBindings::DescriptionStyle::Symbols,
         [this](const std::string& line) { lines.push_back(line); }});

    // Presses and releases a combination as the user would.
    void pressAndRelease(const KeyBindings::Shortcut& s) {
        service.press(std::uint32_t(s.carbonKeyCode), std::uint32_t(s.carbonModifiers), true);
        service.press(std::uint32_t(s.carbonKeyCode), std::uint32_t(s.carbonModifiers), false);
    }
};

} // namespace tidemark::testing
