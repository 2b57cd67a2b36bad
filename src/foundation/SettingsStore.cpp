#include "foundation/SettingsStore.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <limits>
#include <vector>

namespace tidemark {

void SettingsStore::registerDefaults(const ValueDictionary& defaults) {
    for (const auto& [key, value] : defaults)
        registered_.insert_or_assign(key, value);
}

std::optional<Value> SettingsStore::object(std::string_view key) const {
    if (const auto* v = findIn(stored_, key))
        return *v;
    if (const auto* v = findIn(registered_, key))
        return *v;
    return std::nullopt;
}

std::int64_t SettingsStore::integer(std::string_view key) const {
    const auto value = object(key);
    if (!value)
        return 0;
    if (auto i = value->asInteger())
        return *i;
    if (auto d = value->asNumber()) {
        if (!std::isfinite(*d) || std::fabs(*d) >= 9.2e18)
            return 0;
        return static_cast<std::int64_t>(*d);
    }
    if (auto b = value->asBoolean())
        return *b ? 1 : 0;
    if (const auto* s = value->asString()) {
        std::int64_t parsed = 0;
        const auto* end = s->data() + s->size();
        const auto [ptr, ec] = std::from_chars(s->data(), end, parsed);
        if (ec == std::errc() && ptr == end)
            return parsed;
    }
    return 0;
}

bool SettingsStore::boolean(std::string_view key) const {
    const auto value = object(key);
    if (!value)
        return false;
    if (auto b = value->asBoolean())
        return *b;
    if (auto d = value->asNumber())
        return *d != 0;
    if (const auto* s = value->asString()) {
        // As the defaults read text: yes or true in any case, or a non-zero integer.
        const auto is = [&](std::string_view word) {
            return std::equal(s->begin(), s->end(), word.begin(), word.end(),
                              [](char a, char b) { return std::tolower(unsigned(a)) == b; });
        };
        if (is("yes") || is("true"))
            return true;
        std::int64_t number = 0;
        const auto* end = s->data() + s->size();
        const auto [ptr, ec] = std::from_chars(s->data(), end, number);
        return ec == std::errc() && ptr == end && number != 0;
    }
    return false;
}

void SettingsStore::set(std::string_view key, Value value) {
    if (value.isNull()) {
        remove(key);
        return;
    }
    const auto it = stored_.find(key);
    if (it != stored_.end() && it->second == value)
        return;
    const auto stored = stored_.insert_or_assign(std::string(key), std::move(value)).first;
    persist(key, &stored->second);
    notifyChanged(key);
}

void SettingsStore::remove(std::string_view key) {
    const auto it = stored_.find(key);
    if (it == stored_.end())
        return;
    stored_.erase(it);
    persist(key, nullptr);
    notifyChanged(key);
}

namespace {
constexpr std::string_view kSettingChanged = "SettingChanged";
constexpr std::string_view kKey = "key";
} // namespace

ObservationToken SettingsStore::observeChanges(ChangeObserver observer) {
    return changes_.addObserver(std::string(kSettingChanged),
                                [observer = std::move(observer)](const Notification& n) {
                                    if (const auto* key = findIn(n.userInfo, kKey))
                                        if (const auto* text = key->asString())
                                            observer(*text);
                                });
}

void SettingsStore::notifyChanged(std::string_view key) {
    changes_.post(kSettingChanged, ValueDictionary{{std::string(kKey), Value(key)}});
}

void SettingsStore::adoptStoredValues(ValueDictionary fresh) {
    std::vector<std::string> changed;
    for (const auto& [key, value] : stored_) {
        const auto* now = findIn(fresh, key);
        if (!now || !(*now == value))
            changed.push_back(key);
    }
    for (const auto& [key, value] : fresh)
        if (!stored_.contains(key))
            changed.push_back(key);
    stored_ = std::move(fresh);
    for (const auto& key : changed)
        notifyChanged(key);
}

} // namespace tidemark
