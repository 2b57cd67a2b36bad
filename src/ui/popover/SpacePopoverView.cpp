#include "ui/popover/SpacePopoverView.h"

#include "ui/popover/MemoryBar.h"
#include "ui/popover/PopoverButton.h"
#include "ui/popover/PopoverSections.h"
#include "ui/popover/PopoverStyle.h"
#include "ui/popover/RowTransition.h"

#include <QEvent>
#include <QTimer>
#include <QVBoxLayout>
#include <cmath>
#include <set>

namespace tidemark::ui {
namespace {

// Rows that enter and leave with a transition are told apart by these object names.
bool isRow(const QString& name) {
    return name.startsWith(u"app:") || name.startsWith(u"otherApp:") ||
           name.startsWith(u"residual:");
}

} // namespace

SpacePopoverView::SpacePopoverView(std::shared_ptr<SpacePopoverViewModel> model,
                                   std::shared_ptr<const AppIconProvider> icons, QWidget* parent)
    : QWidget(parent), model_(std::move(model)), icons_(std::move(icons)) {
    setFixedWidth(kWidth);
    warmUpFonts(devicePixelRatioF());
    auto* root = new QVBoxLayout(this);
    root->setContentsMargins(0, 0, 0, 0);
    root->setSpacing(0);
    root->setSizeConstraint(QLayout::SetNoConstraint);
    sleepButton_ = makeSleepButton(this);
    sleepButton_->hide();
    connect(sleepButton_, &QAbstractButton::clicked, this, [this] { model_->sleepSystem(); });
    memoryBar_ = new MemoryBar(this);
    memoryBar_->hide();
    observation_ =
        model_->observeChanges([this](const PopoverChange& change) { modelChanged(change); });
    rebuild();
}

SpacePopoverView::~SpacePopoverView() = default;

void SpacePopoverView::setRowDragHandlers(RowDragHandlers handlers) {
    delete rowDrag_;
    rowDrag_ = new RowDragGesture(this, std::move(handlers));
    watchAppRows();
}

void SpacePopoverView::watchAppRows() {
    if (!rowDrag_ || !content_)
        return;
    for (auto* child : content_->findChildren<QWidget*>()) {
        const QString name = child->objectName();
        if (name.startsWith(u"app:"))
            rowDrag_->watchRow(child, name.mid(4).toInt());
    }
}

void SpacePopoverView::modelChanged(const PopoverChange& change) {
    if (change.transition)
        pendingTransition_ = std::max(pendingTransition_.value_or(0), change.transition->duration);
    scheduleRebuild();
}

void SpacePopoverView::scheduleRebuild() {
    dirty_ = true;
    if (rebuildPosted_)
        return;
    rebuildPosted_ = true;
    QTimer::singleShot(0, this, [this] {
        rebuildPosted_ = false;
        rebuildIfNeeded();
    });
}

void SpacePopoverView::rebuildIfNeeded() {
    if (dirty_)
        rebuild();
}

QSize SpacePopoverView::sizeHint() const {
    // Asked between a change and its redraw, the answer is already the new content's.
    const_cast<SpacePopoverView*>(this)->rebuildIfNeeded();
    return lastHint_;
}

void SpacePopoverView::changeEvent(QEvent* event) {
    // Colours come from the palette when the widgets are made and when they paint.
    if (event->type() == QEvent::PaletteChange && content_)
        scheduleRebuild();
    QWidget::changeEvent(event);
}

void SpacePopoverView::rebuild() {
    dirty_ = false;
    const auto transition = std::exchange(pendingTransition_, std::nullopt);

    // What the rows looked like and where they were, for the ones that leave.
    std::map<QString, QRect> before;
    std::map<QString, QPixmap> pictures;
    if (content_) {
        for (auto* child : content_->findChildren<QWidget*>()) {
            if (!isRow(child->objectName()) || !child->isVisible())
                continue;
            before.emplace(child->objectName(), QRect(child->mapTo(this, QPoint()), child->size()));
            if (transition)
                pictures.emplace(child->objectName(), child->grab());
        }
        sleepButton_->setParent(this);
        sleepButton_->hide();
        memoryBar_->setParent(this);
        memoryBar_->hide();
        content_->hide();
        // Later: a control of the old content may be the one whose click led here.
        content_->deleteLater();
        content_ = nullptr;
    }

    content_ = new QWidget(this);
    auto* column = new QVBoxLayout(content_);
    column->setSpacing(0);
    if (model_->space()) {
        column->setContentsMargins(6, 8, 6, 8);
        addSections(*column, {*model_, *icons_, content_, sleepButton_, memoryBar_});
        // Until the panel takes the new height, spare room stays below the content.
        column->addStretch(1);
    } else {
        column->setContentsMargins(0, 0, 0, 0);
    }
    layout()->addWidget(content_);
    watchAppRows();
    const QSize hint = model_->space() ? QSize(kWidth, column->sizeHint().height()) : QSize(0, 0);
    if (isVisible())
        content_->show();
    if (hint != lastHint_) {
        lastHint_ = hint;
        updateGeometry();
    }
    if (transition && isVisible()) {
        layout()->activate();
        animateRows(before, std::move(pictures), int(std::lround(*transition * 1000)));
    }
}

void SpacePopoverView::animateRows(const std::map<QString, QRect>& before,
                                   std::map<QString, QPixmap> leaving, int milliseconds) {
    std::set<QString> present;
    for (auto* child : content_->findChildren<QWidget*>()) {
        const QString name = child->objectName();
        if (!isRow(name))
            continue;
        present.insert(name);
        if (!before.contains(name))
            RowTransition::enter(child, this, milliseconds);
    }
    for (auto& [name, picture] : leaving)
        if (!present.contains(name))
            RowTransition::leave(std::move(picture), before.at(name), this, milliseconds);
}

} // namespace tidemark::ui
