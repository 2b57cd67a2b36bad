#include "ui/QtStatusPorts.h"

#include <QCoreApplication>
#include <QCursor>
#include <QMessageBox>
#include <QPushButton>

namespace tidemark::ui {

std::optional<std::string> QtApplicationPort::bundleDisplayName() const {
    const QString name = QCoreApplication::applicationName();
    return name.isEmpty() ? std::nullopt : std::optional<std::string>(name.toStdString());
}

std::optional<std::string> QtApplicationPort::bundleName() const {
    return bundleDisplayName();
}

void QtApplicationPort::terminate() {
    // After the current event, as the platform's terminate does.
    QMetaObject::invokeMethod(QCoreApplication::instance(), &QCoreApplication::quit,
                              Qt::QueuedConnection);
}

void QtApplicationPort::setMouseEventMonitor(std::function<bool(const MouseEvent&)> monitor) {
    installMonitor_(std::move(monitor));
}

void QtAlertPresenter::present(const AlertContent& alert, std::function<void(int)> answered) {
    QMessageBox box;
    box.setIcon(alert.style == AlertStyle::Critical  ? QMessageBox::Critical
                : alert.style == AlertStyle::Warning ? QMessageBox::Warning
                                                     : QMessageBox::Information);
    box.setText(QString::fromStdString(alert.messageText));
    box.setInformativeText(QString::fromStdString(alert.informativeText));
    box.setWindowFlag(Qt::WindowStaysOnTopHint);
    std::vector<QAbstractButton*> buttons;
    for (const auto& title : alert.buttons)
        buttons.push_back(box.addButton(QString::fromStdString(title), QMessageBox::AcceptRole));
    if (!buttons.empty())
        box.setDefaultButton(static_cast<QPushButton*>(buttons.front()));
    box.exec();
    int index = 0;
    for (std::size_t i = 0; i < buttons.size(); ++i)
        if (box.clickedButton() == buttons[i])
            index = int(i) + 1;
    // Closed without a button: the last one, which cancels.
    answered(index ? index : int(buttons.size()));
}

Point QtScreenPort::pointerLocation() const {
    const QPoint position = QCursor::pos();
    return Point{double(position.x()), double(position.y())};
}

} // namespace tidemark::ui
