#pragma once

#include "foundation/NotificationCenter.h"
#include "statusbar/ViewPorts.h"

#include <QMenu>
#include <cstdint>
#include <functional>

namespace tidemark::ui {

// The strip's menu, top to bottom: the about view, a separator, "Preferences...",
// "Quit Tidemark". While it is open it holds the keyboard, so it announces its tracking on
// the default centre (the hot keys then want raw keys) and hands the keys it sees on.
class StatusMenu final : public QMenu, public tidemark::StatusMenu {
    Q_OBJECT
public:
    // A key the open menu saw: the platform's key code and modifier state
    // (`nativeScanCode`, `nativeModifiers`), pressed or released.
    using RawKeyListener = std::function<void(std::uint32_t, std::uint32_t, bool pressed)>;
    // Where the menu opens, given where it was asked to and its size.
    using Placement = std::function<QPoint(QPoint wanted, QSize size)>;

    StatusMenu(std::function<void()> showPreferences, std::function<void()> quit,
               QWidget* parent = nullptr);

    // Where the button is on screen, for `popUp`.
    void setButton(const StatusItemButton* button) { button_ = button; }
    void setPlacement(Placement placement) { placement_ = std::move(placement); }
    // Posts the menu-did-begin and -end-tracking notifications on `defaultCenter`, which
    // must outlive the menu.
    void announceTracking(NotificationCenter& defaultCenter);
    void setRawKeyListener(RawKeyListener listener) { rawKeys_ = std::move(listener); }
    void popUp(Point inButton) override;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;

private:
    void forward(const QKeyEvent& event, bool pressed);

    const StatusItemButton* button_ = nullptr;
    Placement placement_;
    RawKeyListener rawKeys_;
};

} // namespace tidemark::ui
