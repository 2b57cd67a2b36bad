#pragma once

#include "foundation/NotificationCenter.h"
#include "popover/SpacePopoverViewModel.h"
#include "ui/popover/AppIconProvider.h"
#include "ui/popover/RowDragGesture.h"

#include <QWidget>
#include <memory>

namespace tidemark::ui {

class MemoryBar;
class PopoverButton;

// The whole popover of one space over the model: header with the sleep button, the space's
// apps, the other desktops' apps, the system memory and the residual-process cleaner. It
// redraws after every change of the model, at most once per turn of the event loop, and
// calls `updateGeometry()` when its size hint changes; every control calls the model.
// Shows nothing while the model has no space.
class SpacePopoverView final : public QWidget {
    Q_OBJECT
public:
    static constexpr int kWidth = 280;

    SpacePopoverView(std::shared_ptr<SpacePopoverViewModel> model,
                     std::shared_ptr<const AppIconProvider> icons, QWidget* parent = nullptr);
    ~SpacePopoverView() override;

    // From now on the space's app rows can be dragged, reporting to `handlers`.
    void setRowDragHandlers(RowDragHandlers handlers);

    // The size the panel should have for the current content.
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void changeEvent(QEvent* event) override;

private:
    void modelChanged(const PopoverChange& change);
    void scheduleRebuild();
    void rebuildIfNeeded();
    void rebuild();
    void watchAppRows();
    void animateRows(const std::map<QString, QRect>& before, std::map<QString, QPixmap> leaving,
                     int milliseconds);

    std::shared_ptr<SpacePopoverViewModel> model_;
    std::shared_ptr<const AppIconProvider> icons_;
    ObservationToken observation_;
    QWidget* content_ = nullptr;
    PopoverButton* sleepButton_ = nullptr;
    MemoryBar* memoryBar_ = nullptr;
    bool dirty_ = true;
    bool rebuildPosted_ = false;
    // The longest transition among the changes since the last rebuild.
    std::optional<TimeSeconds> pendingTransition_;
    QSize lastHint_;
    RowDragGesture* rowDrag_ = nullptr;
};

} // namespace tidemark::ui
