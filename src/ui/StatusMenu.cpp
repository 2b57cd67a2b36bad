#include "ui/StatusMenu.h"

#include "shortcuts/ShortcutCenter.h"
#include "ui/AboutView.h"

#include <QKeyEvent>
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

void StatusMenu::announceTracking(NotificationCenter& defaultCenter) {
    connect(this, &QMenu::aboutToShow, this, [&defaultCenter] {
        defaultCenter.post(KeyBindings::kMenuDidBeginTrackingNotification);
    });
    connect(this, &QMenu::aboutToHide, this,
            [&defaultCenter] { defaultCenter.post(KeyBindings::kMenuDidEndTrackingNotification); });
}

void StatusMenu::popUp(Point inButton) {
    const auto onScreen = button_ ? button_->convertToScreen(Rect{inButton, Size{}}) : std::nullopt;
    if (!onScreen)
        return;
    const QPoint wanted(int(onScreen->minX()), int(onScreen->minY()));
    popup(placement_ ? placement_(wanted, sizeHint()) : wanted);
}

void StatusMenu::forward(const QKeyEvent& event, bool pressed) {
    if (rawKeys_ && !event.isAutoRepeat())
        rawKeys_(event.nativeScanCode(), event.nativeModifiers(), pressed);
}

void StatusMenu::keyPressEvent(QKeyEvent* event) {
    forward(*event, true);
    QMenu::keyPressEvent(event);
}

void StatusMenu::keyReleaseEvent(QKeyEvent* event) {
    forward(*event, false);
    QMenu::keyReleaseEvent(event);
}

} // namespace tidemark::ui
