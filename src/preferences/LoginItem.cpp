#include "preferences/LoginItem.h"

namespace tidemark {
namespace {
constexpr const char* kWillChange = "willChange";
}

bool LoginItem::isEnabled() const {
    return service_.status() == LoginItemService::Status::Enabled;
}

void LoginItem::setEnabled(bool enabled) {
    willChange_.post(kWillChange);
    std::optional<std::string> failure;
    if (enabled) {
        // Registering anew refreshes an entry that points at an older copy of the program.
        if (isEnabled())
            (void)service_.unregisterItem();
        failure = service_.registerItem();
    } else {
        failure = service_.unregisterItem();
    }
    if (failure)
        log_.error(kLogSubsystem, kLogCategory,
                   std::string("Failed to ") + (enabled ? "enable" : "disable") +
                       " launch at login: " + *failure);
}

ObservationToken LoginItem::observeWillChange(std::function<void()> handler) {
    return willChange_.addObserver(
        kWillChange, [handler = std::move(handler)](const Notification&) { handler(); });
}

} // namespace tidemark
