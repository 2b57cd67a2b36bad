#include "platform/linux/i3/I3SystemShortcuts.h"

#include "platform/linux/i3/I3Bindings.h"

namespace tidemark::linux_platform {

std::optional<Value> I3SystemShortcuts::copySymbolicHotKeys() {
    const auto reply = client_.request(i3::MessageType::GetConfig);
    if (!reply || !reply->is_object())
        return std::nullopt;
    const auto config = reply->find("config");
    if (config == reply->end() || !config->is_string())
        return std::nullopt;
    return i3::symbolicHotKeys(
        i3::parseKeyBindings(config->get<std::string>()),
        [this](const std::string& name) { return layout_.xKeyCodeForKeysym(name); });
}

} // namespace tidemark::linux_platform
