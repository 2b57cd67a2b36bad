#include "shortcuts/ShortcutRecorder.h"

#include <map>

namespace tidemark::KeyBindings {
namespace {

constexpr const char* kChanged = "changed";
constexpr const char* kMenuItemPlaceholder = "%@";

using Verdict = RecorderDecision::Verdict;

} // namespace

std::string recorderText(std::string_view key) {
    static const std::map<std::string, std::string, std::less<>> texts{
        {"record_shortcut", "Record Shortcut"},
        {"press_shortcut", "Press Shortcut"},
        {"keyboard_shortcut_used_by_menu_item",
         "This keyboard shortcut cannot be used because the menu item “%@” uses it."},
        {"keyboard_shortcut_used_by_system",
         "This keyboard shortcut cannot be used because the window manager already uses it."},
        {"keyboard_shortcuts_can_be_changed",
         "Most of the window manager's shortcuts can be changed in its configuration."},
        {"force_use_shortcut", "Use Anyway"},
        {"keyboard_shortcut_disallowed",
         "This keyboard shortcut cannot be used: its only modifier is Option."},
        {"space_key", "Space"},
        {"ok", "OK"},
    };
    const auto it = texts.find(key);
    return it != texts.end() ? it->second : std::string(key);
}

ShortcutRecorder::ShortcutRecorder(std::shared_ptr<ShortcutCenter> center,
                                   NotificationCenter& defaultCenter, Name name,
                                   ContextSource context, OnChange onChange)
    : center_(std::move(center)), defaultCenter_(defaultCenter), name_(std::move(name)),
      contextSource_(std::move(context)), onChange_(std::move(onChange)) {
    shortcutChanged_ = defaultCenter_.addObserver(
        kShortcutByNameDidChangeNotification, [this](const Notification& notification) {
            const auto* changed = findIn(notification.userInfo, "name");
            if (changed && changed->asString() && *changed->asString() == name_.rawValue)
                announce();
        });
}

ShortcutRecorder::~ShortcutRecorder() {
    // A field that goes away while recording must not leave the hot keys suspended.
    if (recording_) {
        recording_ = false;
        center_->setRecorderActive(false);
        if (resumeHotKeys_)
            center_->setHotKeysEnabled(true);
    }
}

std::string ShortcutRecorder::text() const {
    const auto shortcut = center_->getShortcut(name_);
    return shortcut ? center_->description(*shortcut) : std::string();
}

std::string ShortcutRecorder::placeholder() const {
    return recorderText(recording_ ? "press_shortcut" : "record_shortcut");
}

void ShortcutRecorder::startRecording() {
    if (recording_)
        return;
    recording_ = true;
    // Asked once per recording: the system's list may be a round trip to the window manager.
    context_ = contextSource_ ? contextSource_() : RecorderContext{};
    resumeHotKeys_ = center_->hotKeysEnabled();
    center_->setHotKeysEnabled(false);
    center_->setRecorderActive(true);
    announce();
}

void ShortcutRecorder::endRecording() {
    if (!recording_)
        return;
    recording_ = false;
    center_->setRecorderActive(false);
    if (resumeHotKeys_)
        center_->setHotKeysEnabled(true);
    announce();
}

ShortcutRecorder::Outcome ShortcutRecorder::handle(const CapturedEvent& event) {
    if (!recording_)
        return {};
    const auto decision = decideCapturedEvent(event, context_);
    const auto ok = recorderText("ok");
    switch (decision.verdict) {
    case Verdict::EndRecording:
        endRecording();
        return {};
    case Verdict::ClearShortcut:
        clear();
        return {};
    case Verdict::Beep:
        return {Response::Beep, std::nullopt};
    case Verdict::UsedByMenuItem: {
        auto message = recorderText("keyboard_shortcut_used_by_menu_item");
        if (const auto at = message.find(kMenuItemPlaceholder); at != std::string::npos)
            message.replace(at, 2, decision.menuItemTitle);
        return {Response::Alert, RecorderAlert{message, {}, {ok}, std::nullopt}};
    }
    case Verdict::Disallowed:
        return {Response::Alert,
                RecorderAlert{recorderText("keyboard_shortcut_disallowed"), {}, {ok}, {}}};
    case Verdict::UsedBySystem:
        return {Response::Alert, RecorderAlert{recorderText("keyboard_shortcut_used_by_system"),
                                               recorderText("keyboard_shortcuts_can_be_changed"),
                                               {ok, recorderText("force_use_shortcut")},
                                               decision.shortcut}};
    case Verdict::Accept:
        store(*decision.shortcut);
        return {};
    }
    return {};
}

void ShortcutRecorder::alertAnswered(const RecorderAlert& alert, int button) {
    if (button == 2 && alert.forceable && recording_)
        store(*alert.forceable);
}

void ShortcutRecorder::store(const Shortcut& shortcut) {
    center_->setShortcut(shortcut, name_);
    if (onChange_)
        onChange_(shortcut);
    endRecording();
}

void ShortcutRecorder::clear() {
    center_->setShortcut(std::nullopt, name_);
    if (onChange_)
        onChange_(std::nullopt);
    announce();
}

void ShortcutRecorder::announce() {
    changes_.post(kChanged);
}

ObservationToken ShortcutRecorder::observeChanges(std::function<void()> changed) {
    return changes_.addObserver(kChanged,
                                [changed = std::move(changed)](const Notification&) { changed(); });
}

} // namespace tidemark::KeyBindings
