#pragma once

#include "foundation/NotificationCenter.h"
#include "shortcuts/ShortcutCenter.h"
#include "spaces/SpaceObserver.h"

#include <functional>
#include <memory>
#include <vector>

namespace tidemark {

// Receives each changed snapshot: the menu-bar image and the status item hang off it.
class SnapshotPresenter {
public:
    virtual ~SnapshotPresenter() = default;
    virtual void present(const std::vector<Space>& spaces) = 0;
};

// The application delegate: registers the default settings as it is built, owns the
// long-lived components, runs the launch sequence and turns every new snapshot into what the
// user sees.
class AppDelegate : public SpaceObserverDelegate, public std::enable_shared_from_this<AppDelegate> {
public:
    static std::shared_ptr<AppDelegate> create(SpaceObserverServices services,
                                               std::shared_ptr<SnapshotPresenter> presenter = {});

    // The shortcut component the launch binds "refresh" to; without one nothing is bound.
    void setShortcuts(std::shared_ptr<KeyBindings::ShortcutCenter> shortcuts) {
        shortcuts_ = std::move(shortcuts);
    }
    void applicationDidFinishLaunching();
    void didUpdateSpaces(const std::vector<Space>& spaces) override;

    SpaceObserver& spaceObserver() { return *spaceObserver_; }
    // The last snapshot handed over, and how many arrived.
    const std::vector<Space>& latestSpaces() const { return latestSpaces_; }
    int snapshotCount() const { return snapshotCount_; }

private:
    AppDelegate(SpaceObserverServices services, std::shared_ptr<SnapshotPresenter> presenter);

    SpaceObserverServices services_;
    std::shared_ptr<SnapshotPresenter> presenter_;
    std::shared_ptr<SpaceObserver> spaceObserver_;
    std::shared_ptr<KeyBindings::ShortcutCenter> shortcuts_;
    ObservationToken appearanceObserver_;
    std::vector<Space> latestSpaces_;
    int snapshotCount_ = 0;
};

} // namespace tidemark
