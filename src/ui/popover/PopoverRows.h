#pragma once

#include "spaces/Space.h"
#include "system/ResidualProcess.h"

#include <QWidget>
#include <cstdint>
#include <functional>
#include <optional>

namespace tidemark::ui {

class AppIconProvider;
class PopoverButton;

// One app: icon, name, memory and the close control (an empty slot of the same size when
// the app may not be quit). `onClose` is absent for such an app.
class SpaceAppRow final : public QWidget {
    Q_OBJECT
public:
    SpaceAppRow(const SpaceAppDetail& detail, std::optional<std::uint64_t> memoryBytes,
                std::function<void()> onClose, const AppIconProvider& icons, QWidget* parent);

    // Null for an app that may not be quit.
    PopoverButton* closeControl() const { return close_; }

private:
    PopoverButton* close_ = nullptr;
};

// One leftover process: dot, name, memory and the close control.
class ResidualProcessRow final : public QWidget {
    Q_OBJECT
public:
    ResidualProcessRow(const ResidualProcess& process, std::function<void()> onClose,
                       QWidget* parent);

    PopoverButton* closeControl() const { return close_; }

private:
    PopoverButton* close_ = nullptr;
};

// The xmark on a circle of the rows, in a square frame of `size`.
PopoverButton* makeCloseControl(int size, const QString& help, QWidget* parent);

} // namespace tidemark::ui
