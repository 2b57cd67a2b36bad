#include "app/AppDelegate.h"

#include "app/RefreshShortcut.h"
#include "preferences/SettingsKeys.h"

namespace tidemark {

AppDelegate::AppDelegate(SpaceObserverServices services, std::optional<StatusItemParts> statusItem)
    : services_(services) {
    // Before the observer: building it reads the display style.
    services_.settings.registerDefaults(settings::registeredDefaults());
    if (statusItem)
        statusBar_ = StatusBar::create(statusItem->services, std::move(statusItem->views),
                                       statusItem->makePopoverViewModel());
    spaceObserver_ = SpaceObserver::create(services_);
    if (statusItem) {
        Workspace& workspace = services_.workspace;
        iconCreator_ =
            std::make_unique<IconCreator>(services_.settings, statusItem->catalog,
                                          [&workspace] { return workspace.effectiveAppearance(); });
    }
}

std::shared_ptr<AppDelegate> AppDelegate::create(SpaceObserverServices services,
                                                 std::optional<StatusItemParts> statusItem) {
    return std::shared_ptr<AppDelegate>(new AppDelegate(services, std::move(statusItem)));
}

void AppDelegate::applicationDidFinishLaunching() {
    spaceObserver_->setDelegate(weak_from_this());
    spaceObserver_->updateSpaceInformation();
    if (shortcuts_)
        bindRefreshShortcut(*shortcuts_, spaceObserver_);
    std::weak_ptr<AppDelegate> weakSelf = weak_from_this();
    appearanceObserver_ = services_.workspace.notificationCenter().addObserver(
        kEffectiveAppearanceDidChangeNotification, [weakSelf](const Notification&) {
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
}

} // namespace tidemark
