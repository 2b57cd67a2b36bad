#include "shortcuts/RecorderRules.h"

#include "shortcuts/SpecialKey.h"

#include <algorithm>

namespace tidemark::KeyBindings {
namespace {

using Verdict = RecorderDecision::Verdict;

RecorderDecision decision(Verdict verdict, std::optional<Shortcut> shortcut = std::nullopt,
                          std::string menuItemTitle = {}) {
    return RecorderDecision{verdict, shortcut, std::move(menuItemTitle)};
}

bool onlyLockFlags(std::uint64_t eventFlags) {
    const std::uint64_t ignored = event_flag::kCapsLock | event_flag::kNumericPad;
    return (eventFlags & event_flag::kDeviceIndependent & ~ignored) == 0;
}

bool hasCountingModifier(std::uint64_t eventFlags) {
    return (eventFlags & (event_flag::kCommand | event_flag::kOption | event_flag::kControl)) != 0;
}

} // namespace

RecorderDecision decideCapturedEvent(const CapturedEvent& event, const RecorderContext& context) {
    if (event.type == CapturedEvent::Type::MouseClickOutside)
        return decision(Verdict::EndRecording);
    if (event.keyCode == key::escape.rawValue && onlyLockFlags(event.eventFlags))
        return decision(Verdict::EndRecording);
    if (event.keyCode == key::deleteKey.rawValue && onlyLockFlags(event.eventFlags))
        return decision(Verdict::ClearShortcut);
    if (!hasCountingModifier(event.eventFlags) && !isFunctionKey(event.keyCode))
        return decision(Verdict::Beep);

    const Shortcut shortcut{event.keyCode, carbonFromEventFlags(event.eventFlags)};
    for (const auto& item : context.mainMenu)
        if (item.shortcut == shortcut)
            return decision(Verdict::UsedByMenuItem, shortcut, item.title);
    if (context.optionOnlyDisallowed &&
        (shortcut.carbonModifiers & ~modifier::kShift) == modifier::kOption)
        return decision(Verdict::Disallowed, shortcut);
    if (std::find(context.systemShortcuts.begin(), context.systemShortcuts.end(), shortcut) !=
        context.systemShortcuts.end())
        return decision(Verdict::UsedBySystem, shortcut);
    return decision(Verdict::Accept, shortcut);
}

std::vector<Shortcut> enabledSystemShortcuts(const Value& symbolicHotKeys) {
    std::vector<Shortcut> result;
    const auto* entries = symbolicHotKeys.asArray();
    if (!entries)
        return result;
    for (const auto& entry : *entries) {
        const auto* enabled = entry.find(kSymbolicHotKeyEnabled);
        const auto* code = entry.find(kSymbolicHotKeyCode);
        const auto* modifiers = entry.find(kSymbolicHotKeyModifiers);
        if (!enabled || enabled->asBoolean() != true || !code || !code->asInteger() || !modifiers ||
            !modifiers->asInteger())
            continue;
        result.push_back(Shortcut{*code->asInteger(), carbonFromEventFlags(eventFlagsFromCarbon(
                                                          *modifiers->asInteger()))});
    }
    return result;
}

} // namespace tidemark::KeyBindings
