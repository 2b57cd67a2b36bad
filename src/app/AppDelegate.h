#pragma once

#include "foundation/NotificationCenter.h"
#include "icon/IconCreator.h"
#include "shortcuts/ShortcutCenter.h"
#include "spaces/SpaceObserver.h"
#include "statusbar/StatusBar.h"

#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace tidemark {

class ImageCatalog;

// Receives each changed snapshot, for a front end that draws the strip itself.
class SnapshotPresenter {
public:
    virtual ~SnapshotPresenter() = default;
    virtual void present(const std::vector<Space>& spaces) = 0;
};

// What the delegate needs to put the status item on screen. Without it the delegate only
// keeps the snapshots, as the command-line tools need.
struct StatusItemParts {
    StatusBarServices services;
    StatusBarViews views;
    // Made right before the status bar, which owns it.
    std::function<std::shared_ptr<PopoverContent>()> makePopoverViewModel;
    const ImageCatalog& catalog;
};

// The application delegate: registers the default settings as it is built, owns the
// long-lived components (status bar, space observer, icon creator, made in that order), runs
// the launch sequence and turns every new snapshot into the status item's image.
class AppDelegate : public SpaceObserverDelegate, public std::enable_shared_from_this<AppDelegate> {
public:
    static std::shared_ptr<AppDelegate> create(SpaceObserverServices services);
    static std::shared_ptr<AppDelegate> create(SpaceObserverServices services,
                                               StatusItemParts statusItem);
    static std::shared_ptr<AppDelegate> create(SpaceObserverServices services,
                                               std::shared_ptr<SnapshotPresenter> presenter);

    // The shortcut component the launch binds "refresh" to; without one nothing is bound.
    void setShortcuts(std::shared_ptr<KeyBindings::ShortcutCenter> shortcuts) {
        shortcuts_ = std::move(shortcuts);
    }
    void applicationDidFinishLaunching();
    void didUpdateSpaces(const std::vector<Space>& spaces) override;

    SpaceObserver& spaceObserver() { return *spaceObserver_; }
    // Null without status item parts.
    const std::shared_ptr<StatusBar>& statusBar() const { return statusBar_; }
    IconCreator* iconCreator() const { return iconCreator_.get(); }
    // The last snapshot handed over, and how many arrived.
    const std::vector<Space>& latestSpaces() const { return latestSpaces_; }
    int snapshotCount() const { return snapshotCount_; }

private:
    AppDelegate(SpaceObserverServices services, std::optional<StatusItemParts> statusItem,
                std::shared_ptr<SnapshotPresenter> presenter);

    SpaceObserverServices services_;
    std::shared_ptr<StatusBar> statusBar_;
    std::shared_ptr<SpaceObserver> spaceObserver_;
    std::unique_ptr<IconCreator> iconCreator_;
    std::shared_ptr<KeyBindings::ShortcutCenter> shortcuts_;
    std::shared_ptr<SnapshotPresenter> presenter_;
    ObservationToken appearanceObserver_;
    std::vector<Space> latestSpaces_;
    int snapshotCount_ = 0;
};

} // namespace tidemark
