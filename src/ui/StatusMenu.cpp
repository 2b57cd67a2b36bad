#include "ui/StatusMenu.h"

#include "ui/AboutView.h"

#include <QWidgetAction>

namespace tidemark::ui {

StatusMenu::StatusMenu(std::function<void()> showPreferences, std::function<void()> quit,
                       QWidget* parent)
    : QMenu(parent) {
    auto* about = new QWidgetAction(this);
    about->setDefaultWidget(new AboutView(this));
    addAction(about);
    addSeparator();
    addAction(QStringLiteral("Preferences..."), this, std::move(showPreferences));
    addAction(QStringLiteral("Quit Tidemark"), this, std::move(quit));
}

void StatusMenu::popUp(Point inButton) {
    const auto onScreen = button_ ? button_->convertToScreen(Rect{inButton, Size{}}) : std::nullopt;
    if (!onScreen)
        return;
    popup(QPoint(int(onScreen->minX()), int(onScreen->minY())));
}

} // namespace tidemark::ui
