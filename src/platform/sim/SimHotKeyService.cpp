#include "platform/sim/SimHotKeyService.h"

#include "shortcuts/Shortcut.h"

namespace tidemark::sim {

using KeyBindings::KeyEvent;
using KeyBindings::KeyEventKind;

SimHotKeyService::Registration SimHotKeyService::registerHotKey(std::uint32_t keyCode,
                                                                std::uint32_t modifiers,
                                                                KeyBindings::HotKeyID id) {
    ++registerCalls_;
    if (taken_.contains({keyCode, modifiers}))
        return {KeyBindings::status::kEventHotKeyExists, std::nullopt};
    for (const auto& [handle, entry] : registered_)
        if (entry.keyCode == keyCode && entry.modifiers == modifiers)
            return {KeyBindings::status::kEventHotKeyExists, std::nullopt};
    const Handle handle = nextHandle_++;
    registered_.emplace(handle, Registered{keyCode, modifiers, id});
    return {KeyBindings::status::kNoError, handle};
}

void SimHotKeyService::unregisterHotKey(Handle handle) {
    registered_.erase(handle);
}

bool SimHotKeyService::installEventHandler(EventHandler handler) {
    handler_ = std::move(handler);
    return true;
}

void SimHotKeyService::takeByOtherProgram(std::uint32_t keyCode, std::uint32_t modifiers) {
    taken_.insert({keyCode, modifiers});
}

std::optional<std::int32_t> SimHotKeyService::press(std::uint32_t keyCode, std::uint32_t modifiers,
                                                    bool down) {
    if (!handler_)
        return std::nullopt;
    if (wants(KeyBindings::EventTypes::HotKey))
        for (const auto& [handle, entry] : registered_)
            if (entry.keyCode == keyCode && entry.modifiers == modifiers) {
                KeyEvent event{std::uint32_t(down ? KeyEventKind::HotKeyPressed
                                                  : KeyEventKind::HotKeyReleased),
                               entry.id};
                return handler_(&event);
            }
    if (wants(KeyBindings::EventTypes::RawKey)) {
        KeyEvent event{std::uint32_t(down ? KeyEventKind::RawKeyDown : KeyEventKind::RawKeyUp),
                       std::nullopt, keyCode, modifiers};
        return handler_(&event);
    }
    return std::nullopt;
}

std::optional<std::string> SimKeyboardLayout::character(std::int64_t keyCode) {
    if (const auto it = overrides_.find(keyCode); it != overrides_.end())
        return it->second;
    static const std::map<std::string_view, std::string_view> punctuation{
        {"minus", "-"},       {"equal", "="},        {"comma", ","},     {"period", "."},
        {"slash", "/"},       {"semicolon", ";"},    {"quote", "'"},     {"grave", "`"},
        {"leftbracket", "["}, {"rightbracket", "]"}, {"backslash", "\\"}};
    for (const auto& named : KeyBindings::namedKeys()) {
        if (named.key.rawValue != keyCode)
            continue;
        if (named.word.size() == 1)
            return std::string(named.word);
        if (const auto it = punctuation.find(named.word); it != punctuation.end())
            return std::string(it->second);
    }
    return std::nullopt;
}

} // namespace tidemark::sim
