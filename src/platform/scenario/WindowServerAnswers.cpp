#include "platform/scenario/WindowServerAnswers.h"

#include <unordered_map>

namespace tidemark::sim {
namespace {

std::optional<std::int64_t> integerIn(const ValueDictionary& dictionary, std::string_view key) {
    const Value* value = findIn(dictionary, key);
    return value ? value->asInteger() : std::nullopt;
}

std::optional<DisplaySpace> readSpace(const ValueDictionary& space) {
    const auto id = integerIn(space, "ManagedSpaceID");
    if (space.empty() || !id)
        return std::nullopt;
    DisplaySpace result;
    result.id = *id;
    const Value* tileLayout = findIn(space, "TileLayoutManager");
    if (!tileLayout || !tileLayout->asDictionary())
        return result;
    const Value* pid = findIn(space, "pid");
    result.kind = SpaceKind::FullScreen;
    result.fullScreenOwner = pid ? pid->asInt32() : std::nullopt;
    return result;
}

// A display of the wrong shape is nothing; one between configurations is a current space -1.
std::optional<Display> readDisplay(const ValueDictionary& display) {
    const Value* current = findIn(display, "Current Space");
    const Value* spaces = findIn(display, "Spaces");
    const Value* identifier = findIn(display, "Display Identifier");
    if (!current || !current->asDictionary() || !spaces)
        return std::nullopt;
    const auto spaceDictionaries = spaces->asArrayOfDictionaries();
    if (!spaceDictionaries || !identifier || !identifier->asString())
        return std::nullopt;
    const auto currentId = integerIn(*current->asDictionary(), "ManagedSpaceID");
    if (!currentId)
        return std::nullopt;
    Display result{.identifier = *identifier->asString(), .currentSpace = *currentId, .spaces = {}};
    for (const ValueDictionary* space : *spaceDictionaries)
        if (auto read = readSpace(*space))
            result.spaces.push_back(*read);
    return result;
}

std::vector<std::optional<SpaceId>> readSpaceIds(const Value* spaces) {
    std::vector<std::optional<SpaceId>> ids;
    if (const ValueArray* array = spaces ? spaces->asArray() : nullptr)
        for (const Value& id : *array)
            ids.push_back(id.asInteger());
    return ids;
}

WindowInfo readWindow(const ValueDictionary& window) {
    WindowInfo info;
    info.number = integerIn(window, "kCGWindowNumber");
    if (const Value* pid = findIn(window, "kCGWindowOwnerPID"))
        info.ownerPid = pid->asInt32();
    if (const Value* layer = findIn(window, "kCGWindowLayer"); layer && layer->asNumber())
        info.layer = WindowLayer{*layer->asNumber(), layer->asInteger().has_value()};
    if (const Value* alpha = findIn(window, "kCGWindowAlpha"))
        info.alpha = alpha->asNumber();
    if (const Value* bounds = findIn(window, "kCGWindowBounds")) {
        const Value* width = bounds->find("Width");
        const Value* height = bounds->find("Height");
        if (width && height && width->asNumber() && height->asNumber())
            info.size = Size{*width->asNumber(), *height->asNumber()};
    }
    const Value* onScreen = findIn(window, "kCGWindowIsOnscreen");
    info.onScreen = onScreen && onScreen->asBoolean() == true;
    return info;
}

} // namespace

DisplayList readDisplays(const std::optional<Value>& answer) {
    const auto displays = answer ? answer->asArrayOfDictionaries() : std::nullopt;
    if (!displays)
        return nullptr;
    auto result = std::make_shared<std::vector<Display>>();
    for (const ValueDictionary* display : *displays) {
        auto read = readDisplay(*display);
        if (!read)
            continue;
        if (read->currentSpace == -1)
            return nullptr;
        result->push_back(std::move(*read));
    }
    return result;
}

SharedWindowList readWindows(const std::optional<Value>& answer, bool spacesKnown) {
    const ValueArray* entries = answer ? answer->asArray() : nullptr;
    if (!entries)
        return nullptr;
    auto list = std::make_shared<WindowList>();
    list->spacesKnown = spacesKnown;
    // The spaces query is asked by window number: the first window of a number answers.
    std::unordered_map<std::int64_t, const Value*> spacesOfNumber;
    for (const Value& entry : *entries) {
        const ValueDictionary* window = entry.asDictionary();
        if (!window) {
            list->allEntriesReadable = false;
            continue;
        }
        WindowInfo info = readWindow(*window);
        if (spacesKnown && info.number) {
            const auto [first, _] =
                spacesOfNumber.try_emplace(*info.number, findIn(*window, "spaces"));
            info.spaces = readSpaceIds(first->second);
        }
        list->windows.push_back(std::move(info));
    }
    return list;
}

} // namespace tidemark::sim
