#pragma once

#include <QMenu>
#include <functional>

namespace tidemark::ui {

// The strip's menu, top to bottom: the about view, a separator, "Preferences...",
// "Quit Tidemark".
class StatusMenu final : public QMenu {
    Q_OBJECT
public:
    StatusMenu(std::function<void()> showPreferences, std::function<void()> quit,
               QWidget* parent = nullptr);
};

} // namespace tidemark::ui
