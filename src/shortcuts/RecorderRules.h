#pragma once

#include "foundation/Value.h"
#include "shortcuts/Shortcut.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// What a shortcut recorder does with each event it captures. The view shows the outcome;
// every decision is made here.
namespace tidemark::KeyBindings {

struct CapturedEvent {
    enum class Type { MouseClickOutside, KeyDown };
    Type type = Type::KeyDown;
    std::int64_t keyCode = 0;
    std::uint64_t eventFlags = 0; // the window system's modifier flags
};

// An item of the application's main menu that has a key equivalent.
struct MenuKeyEquivalent {
    std::string title;
    Shortcut shortcut;
};

struct RecorderContext {
    std::vector<MenuKeyEquivalent> mainMenu;
    // The system's enabled shortcuts (see `enabledSystemShortcuts`).
    std::vector<Shortcut> systemShortcuts;
    // The sandboxed-process rule of the host system is in force: combinations whose only
    // modifier besides shift is option cannot be used.
    bool optionOnlyDisallowed = false;
};

struct RecorderDecision {
    enum class Verdict {
        EndRecording,   // a click outside, or Escape: nothing changes
        ClearShortcut,  // Delete: the name loses its shortcut
        Beep,           // refused: no command, option or control on a non-function key
        UsedByMenuItem, // warn naming `menuItemTitle`; recording goes on
        Disallowed,     // warn; recording goes on
        UsedBySystem,   // warn; only an explicit "force" stores `shortcut`
        Accept,         // store `shortcut` and end recording
    };
    Verdict verdict = Verdict::EndRecording;
    std::optional<Shortcut> shortcut;
    std::string menuItemTitle;
};

// The checks in their order: click outside, Escape, Delete, a modifier that counts, the main
// menu, the sandbox rule, the system's shortcuts, then acceptance.
RecorderDecision decideCapturedEvent(const CapturedEvent& event, const RecorderContext& context);

// The entries of the system's symbolic hot-key list that count: enabled, with an integer
// code and integer modifiers (normalised to the five known modifiers).
std::vector<Shortcut> enabledSystemShortcuts(const Value& symbolicHotKeys);

// Where the system's own shortcuts come from; none when the system offers no list.
class SystemShortcutSource {
public:
    virtual ~SystemShortcutSource() = default;
    virtual std::optional<Value> copySymbolicHotKeys() = 0;
};

inline constexpr const char* kSymbolicHotKeyEnabled = "kHISymbolicHotKeyEnabled";
inline constexpr const char* kSymbolicHotKeyCode = "kHISymbolicHotKeyCode";
inline constexpr const char* kSymbolicHotKeyModifiers = "kHISymbolicHotKeyModifiers";

} // namespace tidemark::KeyBindings
