#pragma once

#include "foundation/MainQueue.h"
#include "foundation/NotificationCenter.h"
#include "popover/AppActions.h"
#include "spaces/Space.h"
#include "spaces/SpaceAppsLookup.h"
#include "statusbar/PopoverContent.h"
#include "system/MemoryProvider.h"
#include "system/ResidualProcess.h"
#include "system/ResidualProcessCleaner.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <vector>

namespace tidemark {

// Bytes per process identifier.
using MemoryMap = std::map<std::int32_t, std::uint64_t>;

// The published fields: every assignment of one of them is announced to the observers.
enum class PopoverField {
    Space,
    SystemMemory,
    AppMemoryMap,
    OtherApps,
    OtherAppMemoryMap,
    ShowResidualList,
    IsScanning,
    ResidualProcesses,
    LastCleanedCount,
    LastCleanedMemory,
    SleepFailed,
};

// Assignments that carry the same transition belong to one ease-in-out animation of the
// given length; views decide how to draw it.
struct PopoverTransition {
    std::uint64_t id = 0;
    TimeSeconds duration = 0;
    friend bool operator==(const PopoverTransition&, const PopoverTransition&) = default;
};

struct PopoverChange {
    PopoverField field = PopoverField::Space;
    std::optional<PopoverTransition> transition;
    friend bool operator==(const PopoverChange&, const PopoverChange&) = default;
};

// What the model reads and drives. All of it outlives the model; the kernel, the cleaner and
// the actions are called from background queues.
struct SpacePopoverServices {
    MainQueue& mainQueue;
    Kernel& kernel;
    Workspace& workspace;
    ResidualProcessCleaner& cleaner;
    AppActions& actions;
    // Lists the apps of spaces whose snapshot carries none; without it the panel shows what
    // the snapshot lists.
    SpaceAppsLookup* spaceApps = nullptr;
};

// The state behind the hover panel of one space and every action the panel offers. One
// instance serves every panel for the life of the program. Main thread only; slow work runs
// on background queues that hold the model weakly and hand results back through the main
// queue.
class SpacePopoverViewModel final : public PopoverContent,
                                    public std::enable_shared_from_this<SpacePopoverViewModel> {
public:
    static constexpr TimeSeconds kTransitionDuration = 0.25;
    static constexpr TimeSeconds kDismissTransitionDuration = 0.2;
    static constexpr TimeSeconds kFirstRefreshDelay = 0.5;
    static constexpr TimeSeconds kLastRefreshDelay = 1.5;
    static constexpr TimeSeconds kSleepGuardDelay = 2.0;

    // Only `create` can make one, so that the model always lives in a shared pointer.
    class Passkey {
        friend class SpacePopoverViewModel;
        Passkey() = default;
    };

    static std::shared_ptr<SpacePopoverViewModel> create(SpacePopoverServices services);
    SpacePopoverViewModel(Passkey, SpacePopoverServices services);
    ~SpacePopoverViewModel() override;

    SpacePopoverViewModel(const SpacePopoverViewModel&) = delete;
    SpacePopoverViewModel& operator=(const SpacePopoverViewModel&) = delete;

    // Published state.
    const std::optional<Space>& space() const { return space_; }
    const std::optional<MemoryProvider::SystemMemory>& systemMemory() const {
        return systemMemory_;
    }
    const MemoryMap& appMemoryMap() const { return appMemoryMap_; }
    const std::vector<SpaceAppDetail>& otherApps() const { return otherApps_; }
    const MemoryMap& otherAppMemoryMap() const { return otherAppMemoryMap_; }
    bool showResidualList() const { return showResidualList_; }
    bool isScanning() const { return isScanning_; }
    const std::vector<ResidualProcess>& residualProcesses() const { return residualProcesses_; }
    std::optional<std::int64_t> lastCleanedCount() const { return lastCleanedCount_; }
    std::uint64_t lastCleanedMemory() const { return lastCleanedMemory_; }
    // The last sleep request reached no stage that accepted it; cleared by the next press.
    bool sleepFailed() const { return sleepFailed_; }

    // Plain state.
    bool isSleeping() const { return isSleeping_; }
    std::int64_t refreshGeneration() const { return refreshGeneration_->load(); }
    std::size_t pendingRefreshCount() const { return pendingRefreshWorkItems_.size(); }

    // The owner's side: the space of the shown panel, and how to hide the panel.
    void setSpace(std::optional<Space> space) override;
    void setOnDismissRequest(std::function<void()> handler) override;

    // Called after every assignment of a published field, on the main thread.
    [[nodiscard]] ObservationToken
    observeChanges(std::function<void(const PopoverChange&)> handler);

    void updateMemory(const Space& space) override;
    void updateOtherApps(const Space& space, const std::vector<Space>& allSpaces,
                         bool fetchMemory) override;
    bool hasClosableApps() const;
    // Whether the panel offers to quit this app.
    bool isClosable(const SpaceAppDetail& detail) const;
    void reset() override;

    void quitApp(std::int32_t pid);
    void quitAllClosableApps();
    void scanResidualProcesses();
    void terminateResidualProcess(const ResidualProcess& process);
    // The listed residual process with this id; nothing happens when none is listed.
    void terminateResidualProcess(std::int32_t pid);
    void cleanAllResidualProcesses();
    // Groups its assignments into one transition of `kDismissTransitionDuration`.
    void dismissResidualList();
    void sleepSystem();

    void cancelPendingRefreshes();
    void scheduleRefresh();

private:
    template <typename T> void assign(T& field, T value, PopoverField which);
    template <typename Body> void withTransition(TimeSeconds duration, Body body);
    void announce(PopoverField field);

    // The spaces with their apps, where the snapshot leaves them out.
    std::vector<Space> withApps(std::vector<Space> spaces) const;
    // `space` as the last `setSpace` completed it, when it is the shown one.
    const Space& completed(const Space& space) const;
    MemoryMap readAppMemory(const Space& space) const;
    std::uint64_t knownMemory(std::int32_t pid);
    void subtractFreedMemory(std::uint64_t bytes);
    void removeApps(const std::vector<std::int32_t>& pids);
    void applyDelayedRefresh(std::int64_t generation, bool isLast,
                             const MemoryProvider::SystemMemory& reading);
    void finishCleanAll(int terminated, std::uint64_t freed,
                        const MemoryProvider::SystemMemory& reading);
    void removeTerminatedResidual(const ResidualProcess& process);

    SpacePopoverServices services_;
    std::optional<std::string> ownBundleIdentifier_;

    std::optional<Space> space_;
    std::optional<MemoryProvider::SystemMemory> systemMemory_;
    MemoryMap appMemoryMap_;
    std::vector<SpaceAppDetail> otherApps_;
    MemoryMap otherAppMemoryMap_;
    bool showResidualList_ = false;
    bool isScanning_ = false;
    std::vector<ResidualProcess> residualProcesses_;
    std::optional<std::int64_t> lastCleanedCount_;
    std::uint64_t lastCleanedMemory_ = 0;
    bool sleepFailed_ = false;

    std::vector<std::shared_ptr<WorkItem>> pendingRefreshWorkItems_;
    // Shared with the background readings, which compare it without holding the model.
    std::shared_ptr<std::atomic<std::int64_t>> refreshGeneration_ =
        std::make_shared<std::atomic<std::int64_t>>(0);
    std::function<void()> onDismissRequest_;
    bool isSleeping_ = false;

    NotificationCenter changes_;
    PopoverChange currentChange_;
    std::optional<PopoverTransition> openTransition_;
    std::uint64_t lastTransitionID_ = 0;
};

} // namespace tidemark
