#pragma once

#include "statusbar/ViewPorts.h"

#include <QMenu>
#include <functional>

namespace tidemark::ui {

// The strip's menu, top to bottom: the about view, a separator, "Preferences...",
// "Quit Tidemark".
class StatusMenu final : public QMenu, public tidemark::StatusMenu {
    Q_OBJECT
public:
    StatusMenu(std::function<void()> showPreferences, std::function<void()> quit,
               QWidget* parent = nullptr);

    // Where the button is on screen, for `popUp`.
    void setButton(const StatusItemButton* button) { button_ = button; }
    void popUp(Point inButton) override;

private:
    const StatusItemButton* button_ = nullptr;
};

} // namespace tidemark::ui
