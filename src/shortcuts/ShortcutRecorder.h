#pragma once

#include "foundation/NotificationCenter.h"
#include "shortcuts/RecorderRules.h"
#include "shortcuts/ShortcutCenter.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tidemark::KeyBindings {

// The recorder's texts by key ("record_shortcut", "press_shortcut", …); a key without a
// text answers itself.
std::string recorderText(std::string_view key);

// A warning the view shows on the field's window; `buttons` in order, the first the default.
struct RecorderAlert {
    std::string messageText;
    std::string informativeText;
    std::vector<std::string> buttons;
    // Stored when the user answers with the force button (the second).
    std::optional<Shortcut> forceable;
};

// The state behind a shortcut recorder field for one name: what it shows, when it records,
// and what each captured key does. While it records, the component's dispatch is off and
// the hot keys are suspended, so that pressing the current combination reaches the field
// instead of a global grab. Main thread only.
class ShortcutRecorder {
public:
    using ContextSource = std::function<RecorderContext()>;
    using OnChange = std::function<void(std::optional<Shortcut>)>;

    ShortcutRecorder(std::shared_ptr<ShortcutCenter> center, NotificationCenter& defaultCenter,
                     Name name, ContextSource context, OnChange onChange = {});
    ~ShortcutRecorder();
    ShortcutRecorder(const ShortcutRecorder&) = delete;
    ShortcutRecorder& operator=(const ShortcutRecorder&) = delete;

    // The stored combination's description, or nothing.
    std::string text() const;
    std::string placeholder() const;
    bool isRecording() const { return recording_; }
    bool hasShortcut() const { return center_->getShortcut(name_).has_value(); }

    void startRecording();
    void endRecording();

    enum class Response { Handled, Beep, Alert };
    struct Outcome {
        Response response = Response::Handled;
        std::optional<RecorderAlert> alert;
    };
    Outcome handle(const CapturedEvent& event);
    // The alert's answer, 1 for its first button; the force button stores the combination.
    void alertAnswered(const RecorderAlert& alert, int button);
    // The clear button, or Delete while recording.
    void clear();

    // Hears every change of what the field shows (text, placeholder, recording).
    [[nodiscard]] ObservationToken observeChanges(std::function<void()> changed);

private:
    void store(const Shortcut& shortcut);
    void announce();

    std::shared_ptr<ShortcutCenter> center_;
    NotificationCenter& defaultCenter_;
    Name name_;
    ContextSource contextSource_;
    OnChange onChange_;
    RecorderContext context_;
    bool recording_ = false;
    bool resumeHotKeys_ = false;
    NotificationCenter changes_;
    ObservationToken shortcutChanged_;
};

} // namespace tidemark::KeyBindings
