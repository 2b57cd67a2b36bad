#include "platform/sim/SimWindowServer.h"

#include <algorithm>

namespace tidemark::sim {

SimWindowServer::SimWindowServer(const Scenario& scenario)
    : displays_(scenario.displays), spacesForWindowsAvailable_(scenario.spacesForWindowsAvailable),
      windowsOnSpacesAvailable_(scenario.windowsOnSpacesAvailable) {
    setWindows(scenario.windows);
}

void SimWindowServer::setWindows(std::optional<Value> windows) {
    entries_.clear();
    entryOfNumber_.clear();
    windowList_ = std::move(windows);
    if (!windowList_ || !windowList_->asArray())
        return;
    ValueArray reported;
    for (const auto& window : *windowList_->asArray()) {
        Entry entry;
        const auto* dictionary = window.asDictionary();
        if (!dictionary) {
            reported.push_back(window);
            entries_.push_back(entry);
            continue;
        }
        ValueDictionary stripped = *dictionary;
        if (auto it = stripped.find("spaces"); it != stripped.end()) {
            entry.spaces = it->second;
            stripped.erase(it);
        }
        if (const Value* number = findIn(stripped, "kCGWindowNumber"))
            entry.number = number->asInteger();
        if (entry.number)
            entryOfNumber_.try_emplace(*entry.number, entries_.size());
        reported.push_back(Value(std::move(stripped)));
        entries_.push_back(std::move(entry));
    }
    windowList_ = Value(std::move(reported));
}

std::optional<Value> SimWindowServer::copyManagedDisplaySpaces(std::int32_t) {
    return displays_;
}

std::optional<Value> SimWindowServer::copyWindowInfo(std::uint32_t, std::uint32_t) {
    ++windowInfoCalls_;
    return windowList_;
}

std::optional<WindowServer::SpacesForWindows> SimWindowServer::lookupSpacesForWindows() {
    if (!spacesForWindowsAvailable_)
        return std::nullopt;
    return [this](std::int32_t, int,
                  const std::vector<std::int64_t>& windowNumbers) -> std::optional<Value> {
        ++spacesForWindowsCalls_;
        // One window: its answer exactly as written, malformed or not.
        if (windowNumbers.size() == 1) {
            const auto found = entryOfNumber_.find(windowNumbers.front());
            return found == entryOfNumber_.end() ? std::nullopt : entries_[found->second].spaces;
        }
        ValueArray all;
        for (const auto& entry : entries_) {
            if (!entry.number || !entry.spaces || !entry.spaces->asArray())
                continue;
            if (std::find(windowNumbers.begin(), windowNumbers.end(), *entry.number) ==
                windowNumbers.end())
                continue;
            for (const auto& space : *entry.spaces->asArray())
                if (std::find(all.begin(), all.end(), space) == all.end())
                    all.push_back(space);
        }
        return Value(std::move(all));
    };
}

std::optional<WindowServer::WindowsWithOptionsAndTags>
SimWindowServer::lookupWindowsWithOptionsAndTags() {
    if (!windowsOnSpacesAvailable_)
        return std::nullopt;
    return [this](std::int32_t, std::int32_t, const std::vector<std::int64_t>& spaceIds,
                  std::int32_t, std::uint64_t&, std::uint64_t&) -> std::optional<Value> {
        ValueArray numbers;
        for (const auto& entry : entries_) {
            if (!entry.number || !entry.spaces || !entry.spaces->asArray())
                continue;
            const auto& spaces = *entry.spaces->asArray();
            const bool meets = std::any_of(spaces.begin(), spaces.end(), [&](const Value& s) {
                const auto id = s.asInteger();
                return id && std::find(spaceIds.begin(), spaceIds.end(), *id) != spaceIds.end();
            });
            if (meets)
                numbers.push_back(Value(*entry.number));
        }
        return Value(std::move(numbers));
    };
}

} // namespace tidemark::sim
