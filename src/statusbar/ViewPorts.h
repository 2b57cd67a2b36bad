#pragma once

#include "foundation/Geometry.h"
#include "foundation/Image.h"
#include "foundation/MainQueue.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

// What the status bar and hover controllers drive. A toolkit implements these and forwards
// its events to the controllers; every decision stays in the controllers.
//
// Coordinates are points. Button coordinates have their origin at the button's top left
// with y growing downwards; screen coordinates have their origin at the top left of the
// virtual screen with y growing downwards, as X11 and Qt give them. Image rectangles
// (`IconLayout::spaceRects`) keep their own origin at the image's lower left.

namespace tidemark {

// Identifies a top-level window, for telling whether an event belongs to the button's.
using WindowID = std::uint64_t;

// The status item's button: shows the strip image.
class StatusItemButton {
public:
    virtual ~StatusItemButton() = default;

    virtual void setImage(ImageRef image) = 0;
    virtual ImageRef image() const = 0;
    // The button's own rectangle, in button coordinates (origin 0, 0).
    virtual Rect bounds() const = 0;
    // Where the button's cell draws its image within `bounds`; nothing when the button has
    // no cell that decides, and the image is then centred in the bounds.
    virtual std::optional<Rect> cellImageRect(Rect bounds) const = 0;
    // The window the button is in; nothing while it has none.
    virtual std::optional<WindowID> window() const = 0;
    // A rectangle in button coordinates on screen; nothing while the button has no window.
    virtual std::optional<Rect> convertToScreen(Rect inButton) const = 0;
    virtual void setHighlighted(bool highlighted) = 0;
    // Marks the glyph a dragged row of the panel would be dropped on (button coordinates,
    // y down); nothing clears the mark.
    virtual void setDropTarget(std::optional<Rect> glyphInButton) = 0;
    // Reports the pointer entering, leaving and moving over the button (moves in button
    // coordinates); clicks still reach the button.
    virtual void trackPointer(std::function<void()> entered, std::function<void()> exited,
                              std::function<void(Point inButton)> moved) = 0;
    // Reports the wheel turning over the button in whole notches, positive downwards; a
    // toolkit that reports parts of a notch adds them up first.
    virtual void trackWheel(std::function<void(Point inButton, int notches)> turned) = 0;
};

// The menu of the status item (about, "Preferences...", "Quit Tidemark").
class StatusMenu {
public:
    virtual ~StatusMenu() = default;
    // Pops the menu up with no item positioned at `inButton`.
    virtual void popUp(Point inButton) = 0;
};

enum class AnimationCurve { EaseIn, EaseOut, EaseInOut };

// The floating window of the hover panel. `HoverPanel` keeps its placement rules; the window
// only shows, moves and fades.
class PanelWindow {
public:
    virtual ~PanelWindow() = default;

    // Whether there is content to show.
    virtual bool hasContent() const = 0;
    // Lays out the content and answers the size it wants.
    virtual Size fittingSize() = 0;
    // In screen coordinates, applied at once.
    virtual void setFrame(Rect frame) = 0;
    virtual Rect frame() const = 0;
    virtual bool isVisible() const = 0;
    // Orders the window in front even while this application is not active.
    virtual void orderFrontRegardless() = 0;
    virtual void orderOut() = 0;
    virtual void setAlpha(double alpha) = 0;
    // `completion` runs on the main queue when the animation ends, also when another
    // animation took over.
    virtual void animateAlpha(double alpha, TimeSeconds duration, AnimationCurve curve,
                              std::function<void()> completion) = 0;
    // Starts reporting the pointer entering and leaving the content; called once.
    virtual void trackPointer(std::function<void()> entered, std::function<void()> exited) = 0;
    // The toolkit asks to resize the window (its content changed size); the handler
    // answers the frame to apply instead of `proposed`.
    virtual void setFrameFilter(std::function<Rect(Rect proposed)> filter) = 0;
};

enum class AlertStyle { Warning, Informational, Critical };

struct AlertContent {
    AlertStyle style = AlertStyle::Warning;
    std::string messageText;
    std::string informativeText;
    std::vector<std::string> buttons; // in order; the first is the default
};

// Shows alerts in front of everything (the floating window level).
class AlertPresenter {
public:
    virtual ~AlertPresenter() = default;
    // Shows `alert` and calls `answered` with the 1-based index of the button pressed; a
    // modal toolkit calls it before returning, a headless one later.
    virtual void present(const AlertContent& alert, std::function<void(int button)> answered) = 0;
};

// The pointer and the screens.
class ScreenPort {
public:
    virtual ~ScreenPort() = default;
    // The pointer's location, in screen coordinates.
    virtual Point pointerLocation() const = 0;
    // The part of the screen that holds `rect` where windows may go (its output, without
    // panels and docks); the whole virtual screen when no screen holds it.
    virtual Rect visibleFrame(Rect rect) const = 0;
};

enum class MouseButton { Left, Right };
enum class MouseAction { Down, Up };

// Modifier keys held during a mouse event, as the platform's flag bits.
enum class ModifierFlags : std::uint64_t {
    None = 0,
    Shift = 1ULL << 17,
    Control = 1ULL << 18,
    Option = 1ULL << 19,
    Command = 1ULL << 20,
};
constexpr ModifierFlags operator|(ModifierFlags a, ModifierFlags b) {
    return ModifierFlags(std::uint64_t(a) | std::uint64_t(b));
}
constexpr bool hasFlag(ModifierFlags flags, ModifierFlags flag) {
    return (std::uint64_t(flags) & std::uint64_t(flag)) != 0;
}

// A mouse button event of this application, before it is dispatched.
struct MouseEvent {
    MouseButton button = MouseButton::Left;
    MouseAction action = MouseAction::Down;
    // The window it happened in; nothing for an event without one.
    std::optional<WindowID> window;
    // The event's location converted into the status item button's coordinates.
    Point locationInButton;
    ModifierFlags modifiers = ModifierFlags::None;
};

// The application itself, as the status bar and its alert need it.
class ApplicationPort {
public:
    virtual ~ApplicationPort() = default;
    // The display name of the bundle, else its name; nothing when it has neither.
    virtual std::optional<std::string> bundleDisplayName() const = 0;
    virtual std::optional<std::string> bundleName() const = 0;
    // Brings this application to the front ignoring other apps.
    virtual void activateIgnoringOtherApps() = 0;
    // Ends the program after the current event.
    virtual void terminate() = 0;
    // Hands every mouse button event of this application to `monitor` before it is
    // dispatched; the monitor answers whether the event goes on. An empty function removes
    // the monitor.
    virtual void setMouseEventMonitor(std::function<bool(const MouseEvent&)> monitor) = 0;
};

// What a button of the switching alert does.
enum class SwitchAlertAction { OpenSettings, Quit, Dismiss };

// The alert a click gets while switching is not allowed: its texts, and one action per
// button, in the buttons' order.
struct SwitchAlert {
    AlertContent content;
    std::vector<SwitchAlertAction> actions;
};

// Whether switching desktops is allowed; what the platform tells the user when it is not.
class SwitchPermission {
public:
    virtual ~SwitchPermission() = default;
    virtual bool isTrusted() = 0;
    // The alert for the app named `appName`.
    virtual SwitchAlert alert(const std::string& appName) const = 0;
    // Opens the desktop's settings for the permission: the OpenSettings button.
    virtual void openSettings() = 0;
};

} // namespace tidemark
