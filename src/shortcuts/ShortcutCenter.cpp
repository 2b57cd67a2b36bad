#include "shortcuts/ShortcutCenter.h"

#include "shortcuts/ShortcutDescription.h"
#include "shortcuts/ShortcutStorage.h"

#include <iostream>

namespace tidemark::KeyBindings {

std::shared_ptr<ShortcutCenter> ShortcutCenter::create(Services services) {
    auto center = std::shared_ptr<ShortcutCenter>(new ShortcutCenter(std::move(services)));
    center->startObserving();
    return center;
}

ShortcutCenter::ShortcutCenter(Services services) : services_(std::move(services)) {
    if (!services_.printLine)
        services_.printLine = [](const std::string& line) { std::cout << line << std::endl; };
    hotKeys_ = CarbonHotKeys::create(
        services_.hotKeyService,
        [&layout = services_.keyboardLayout, style = services_.descriptionStyle](
            const Shortcut& s) { return describe(s, layout, style); },
        services_.printLine);
}

void ShortcutCenter::startObserving() {
    std::weak_ptr<ShortcutCenter> weakSelf = weak_from_this();
    const auto menuObserver = [weakSelf](bool open) {
        return [weakSelf, open](const Notification&) {
            if (const auto self = weakSelf.lock())
                self->hotKeys_->setMenuOpen(open);
        };
    };
    menuBegan_ =
        services_.defaultCenter.addObserver(kMenuDidBeginTrackingNotification, menuObserver(true));
    menuEnded_ =
        services_.defaultCenter.addObserver(kMenuDidEndTrackingNotification, menuObserver(false));
    settingsChanged_ = services_.settings.observeChanges([weakSelf](std::string_view key) {
        const auto self = weakSelf.lock();
        if (!self || self->writing_)
            return;
        if (const auto rawValue = nameOfSettingsKey(key))
            self->storedEntryChanged(*rawValue);
    });
}

void ShortcutCenter::remember(const Name& name) {
    if (!names_.contains(name.rawValue))
        names_.emplace(name.rawValue, name);
}

Name ShortcutCenter::name(std::string rawValue, std::optional<Shortcut> defaultShortcut) {
    Name name{std::move(rawValue), defaultShortcut};
    remember(name);
    if (defaultShortcut && !services_.settings.storedValues().contains(settingsKey(name)))
        setShortcut(defaultShortcut, name);
    return name;
}

std::vector<Name> ShortcutCenter::knownNames() const {
    std::vector<Name> result;
    for (const auto& [rawValue, name] : names_)
        result.push_back(name);
    return result;
}

std::optional<Name> ShortcutCenter::knownName(std::string_view rawValue) const {
    const auto it = names_.find(rawValue);
    if (it == names_.end())
        return std::nullopt;
    return it->second;
}

std::optional<Shortcut> ShortcutCenter::getShortcut(const Name& name) const {
    return decodeShortcutEntry(services_.settings.object(settingsKey(name)));
}

void ShortcutCenter::setShortcut(std::optional<Shortcut> shortcut, const Name& name) {
    remember(name);
    const auto old = getShortcut(name);
    if (!shortcut) {
        if (!old)
            return;
        const auto known = knownName(name.rawValue);
        const bool hasDefault = name.defaultShortcut || (known && known->defaultShortcut);
        writeEntry(name, hasDefault ? Value(false) : Value());
        releaseShortcut(*old, name);
        postChange(name);
        return;
    }
    const std::string encoded = encodeShortcut(*shortcut);
    if (old)
        releaseShortcut(*old, name);
    if (!registeredShortcuts_.contains(*shortcut))
        registerShortcut(*shortcut);
    writeEntry(name, Value(encoded));
    postChange(name);
}

void ShortcutCenter::resetToDefaults(const std::vector<Name>& names) {
    for (const auto& name : names) {
        const auto known = knownName(name.rawValue);
        const auto fallback = name.defaultShortcut
                                  ? name.defaultShortcut
                                  : (known ? known->defaultShortcut : std::nullopt);
        if (fallback) {
            setShortcut(fallback, name);
            continue;
        }
        const auto old = getShortcut(name);
        if (!services_.settings.storedValues().contains(settingsKey(name)))
            continue;
        writeEntry(name, Value());
        if (old)
            releaseShortcut(*old, name);
        postChange(name);
    }
}

void ShortcutCenter::disable(const std::vector<Name>& names) {
    for (const auto& name : names) {
        disabledNames_.insert(name.rawValue);
        if (const auto shortcut = getShortcut(name)) {
            hotKeys_->unregisterShortcut(*shortcut);
            registeredShortcuts_.erase(*shortcut);
        }
    }
}

void ShortcutCenter::enable(const std::vector<Name>& names) {
    for (const auto& name : names) {
        disabledNames_.erase(name.rawValue);
        if (const auto shortcut = getShortcut(name);
            shortcut && !registeredShortcuts_.contains(*shortcut))
            registerShortcut(*shortcut);
    }
}

void ShortcutCenter::addKeyDownAction(const Name& name, Action action) {
    addAction(keyDownHandlers_, name, std::move(action));
}

void ShortcutCenter::addKeyUpAction(const Name& name, Action action) {
    addAction(keyUpHandlers_, name, std::move(action));
}

void ShortcutCenter::addAction(HandlerMap& handlers, const Name& name, Action action) {
    remember(name);
    handlers[name.rawValue].push_back(std::move(action));
    if (const auto shortcut = getShortcut(name);
        shortcut && !registeredShortcuts_.contains(*shortcut))
        registerShortcut(*shortcut);
}

void ShortcutCenter::setRecorderActive(bool active) {
    isRecorderActive_ = active;
    services_.defaultCenter.post(kRecorderActiveStatusDidChangeNotification,
                                 ValueDictionary{{"isActive", Value(active)}});
}

std::string ShortcutCenter::description(const Shortcut& shortcut) const {
    return describe(shortcut, services_.keyboardLayout, services_.descriptionStyle);
}

void ShortcutCenter::registerShortcut(const Shortcut& shortcut) {
    std::weak_ptr<ShortcutCenter> weakSelf = weak_from_this();
    hotKeys_->registerShortcut(
        shortcut,
        [weakSelf](const Shortcut& pressed) {
            if (const auto self = weakSelf.lock())
                self->dispatch(pressed, true);
        },
        [weakSelf](const Shortcut& pressed) {
            if (const auto self = weakSelf.lock())
                self->dispatch(pressed, false);
        });
    // Kept even when refused, so that the refusal is reported once, not on every action
    // added; storing the combination again retries.
    registeredShortcuts_.insert(shortcut);
}

void ShortcutCenter::releaseShortcut(const Shortcut& shortcut, const Name& owner) {
    for (const auto& [rawValue, name] : names_)
        if (rawValue != owner.rawValue && getShortcut(name) == shortcut)
            return;
    hotKeys_->unregisterShortcut(shortcut);
    registeredShortcuts_.erase(shortcut);
}

void ShortcutCenter::storedEntryChanged(const std::string& rawValue) {
    const auto name = knownName(rawValue);
    if (!name)
        return;
    // Another writer changed the entry: drop the combinations no name stores any more and
    // register the new one.
    std::unordered_set<Shortcut> stored;
    for (const auto& [_, known] : names_)
        if (const auto shortcut = getShortcut(known))
            stored.insert(*shortcut);
    for (const auto shortcut :
         std::vector<Shortcut>(registeredShortcuts_.begin(), registeredShortcuts_.end()))
        if (!stored.contains(shortcut)) {
            hotKeys_->unregisterShortcut(shortcut);
            registeredShortcuts_.erase(shortcut);
        }
    if (const auto now = getShortcut(*name);
        now && !disabledNames_.contains(rawValue) && !registeredShortcuts_.contains(*now))
        registerShortcut(*now);
    postChange(*name);
}

void ShortcutCenter::postChange(const Name& name) {
    services_.defaultCenter.post(kShortcutByNameDidChangeNotification,
                                 ValueDictionary{{"name", Value(name.rawValue)}});
}

void ShortcutCenter::writeEntry(const Name& name, Value value) {
    writing_ = true;
    services_.settings.set(settingsKey(name), std::move(value));
    writing_ = false;
}

void ShortcutCenter::dispatch(const Shortcut& pressed, bool keyDown) {
    if (isRecorderActive_)
        return;
    const auto& handlers = keyDown ? keyDownHandlers_ : keyUpHandlers_;
    std::vector<Action> actions;
    for (const auto& [rawValue, list] : handlers)
        if (getShortcut(Name{rawValue, std::nullopt}) == pressed)
            actions.insert(actions.end(), list.begin(), list.end());
    for (const auto& action : actions)
        action();
}

} // namespace tidemark::KeyBindings
