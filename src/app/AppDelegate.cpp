#include "app/AppDelegate.h"

#include "app/RefreshShortcut.h"
#include "preferences/SettingsKeys.h"

namespace tidemark {

AppDelegate::AppDelegate(SpaceObserverServices services, std::optional<StatusItemParts> statusItem,
                         std::shared_ptr<SnapshotPresenter> presenter)
    : services_(services), presenter_(std::move(presenter)) {
    // Before the observer: building it reads the display style.
    services_.settings.registerDefaults(settings::registeredDefaults());
    if (statusItem)
        statusBar_ = StatusBar::create(statusItem->services, std::move(statusItem->views),
                                       statusItem->makePopoverViewModel());
    spaceObserver_ = SpaceObserver::create(services_);
    if (statusBar_)
        statusBar_->setRefreshRequest([observer = std::weak_ptr<SpaceObserver>(spaceObserver_)] {
            if (const auto live = observer.lock())
                live->updateSpaceInformation();
        });
    if (statusItem) {
        Workspace& workspace = services_.workspace;
        iconCreator_ =
            std::make_unique<IconCreator>(services_.settings, statusItem->catalog,
                                          [&workspace] { return workspace.effectiveAppearance(); });
    }
}

std::shared_ptr<AppDelegate> AppDelegate::create(SpaceObserverServices services) {
    return std::shared_ptr<AppDelegate>(new AppDelegate(services, std::nullopt, nullptr));
}

std::shared_ptr<AppDelegate> AppDelegate::create(SpaceObserverServices services,
                                                 StatusItemParts statusItem) {
    return std::shared_ptr<AppDelegate>(new AppDelegate(services, std::move(statusItem), nullptr));
}

std::shared_ptr<AppDelegate> AppDelegate::create(SpaceObserverServices services,
                                                 std::shared_ptr<SnapshotPresenter> presenter) {
    return std::shared_ptr<AppDelegate>(
        new AppDelegate(services, std::nullopt, std::move(presenter)));
}

void AppDelegate::applicationDidFinishLaunching() {
    spaceObserver_->setDelegate(weak_from_this());
    spaceObserver_->updateSpaceInformation();
    if (shortcuts_)
        bindRefreshShortcut(*shortcuts_, spaceObserver_);
    std::weak_ptr<AppDelegate> weakSelf = weak_from_this();
    appearanceObserver_ = services_.workspace.events().addObserver(
        WorkspaceEventKind::AppearanceChanged, [weakSelf](const WorkspaceEvent&) {
            auto self = weakSelf.lock();
            if (!self)
                return;
            self->services_.mainQueue.async([weakSelf] {
                if (auto self = weakSelf.lock())
                    self->spaceObserver_->updateSpaceInformation();
            });
        });
}

void AppDelegate::didUpdateSpaces(const std::vector<Space>& spaces) {
    latestSpaces_ = spaces;
    ++snapshotCount_;
    if (iconCreator_ && statusBar_)
        statusBar_->updateStatusItem(iconCreator_->createIcon(spaces), spaces);
    if (presenter_)
        presenter_->present(spaces);
}

} // namespace tidemark
