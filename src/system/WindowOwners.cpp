#include "system/WindowOwners.h"

namespace tidemark {

namespace {

// "a floating number": window-server numbers arrive as integers or reals alike.
std::optional<double> floating(const Value* value) {
    return value ? value->asNumber() : std::nullopt;
}

bool isRealWindow(const Value& window) {
    const Value* layer = window.find("kCGWindowLayer");
    if (!layer || layer->asInteger() != 0)
        return false;
    if (const auto alpha = floating(window.find("kCGWindowAlpha"));
        alpha && *alpha < kRealWindowMinimumAlpha)
        return false;
    if (const Value* bounds = window.find("kCGWindowBounds")) {
        const auto width = floating(bounds->find("Width"));
        const auto height = floating(bounds->find("Height"));
        if (width && height &&
            (*width < kRealWindowMinimumSide || *height < kRealWindowMinimumSide))
            return false;
    }
    return true;
}

} // namespace

std::unordered_set<std::int32_t>
windowOwnerPIDs(const std::optional<Value>& windowList,
                const std::optional<WindowServer::SpacesForWindows>& spacesForWindows,
                std::int32_t connection) {
    std::unordered_set<std::int32_t> owners;
    const ValueArray* windows = windowList ? windowList->asArray() : nullptr;
    if (!windows)
        return owners;
    for (const Value& window : *windows) {
        if (!window.asDictionary() || !isRealWindow(window))
            continue;
        const Value* number = window.find("kCGWindowNumber");
        const Value* owner = window.find("kCGWindowOwnerPID");
        const auto windowNumber = number ? number->asInteger() : std::nullopt;
        const auto ownerPID = owner ? owner->asInt32() : std::nullopt;
        if (!windowNumber || !ownerPID)
            continue;
        bool counts = false;
        if (spacesForWindows) {
            const auto spaces =
                (*spacesForWindows)(connection, WindowServer::kAllSpacesMask, {*windowNumber});
            const ValueArray* array = spaces ? spaces->asArray() : nullptr;
            counts = array && !array->empty();
        } else {
            const Value* onScreen = window.find("kCGWindowIsOnscreen");
            counts = onScreen && onScreen->asBoolean() == true;
        }
        if (counts)
            owners.insert(*ownerPID);
    }
    return owners;
}

} // namespace tidemark
