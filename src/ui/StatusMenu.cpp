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

} // namespace tidemark::ui
