#include "popover/SpacePopoverViewModel.h"

#include <algorithm>
#include <set>

namespace tidemark {

namespace {

constexpr const char* kChangeNotification = "SpacePopoverViewModelDidChange";

using Model = SpacePopoverViewModel;

// Work that outlives the current call holds the model weakly: one that finds it gone does
// nothing.
template <typename Action> auto weakly(std::weak_ptr<Model> weakSelf, Action action) {
    return [weakSelf = std::move(weakSelf), action = std::move(action)]() mutable {
        if (auto self = weakSelf.lock())
            action(*self);
    };
}

template <typename Detail>
std::vector<Detail> without(std::vector<Detail> details, const std::vector<std::int32_t>& pids) {
    std::erase_if(details, [&](const Detail& d) {
        return std::find(pids.begin(), pids.end(), d.pid) != pids.end();
    });
    return details;
}

MemoryMap withoutKeys(MemoryMap map, const std::vector<std::int32_t>& pids) {
    for (const auto pid : pids)
        map.erase(pid);
    return map;
}

std::uint64_t clampedSubtraction(std::uint64_t from, std::uint64_t amount) {
    return from > amount ? from - amount : 0;
}

} // namespace

std::shared_ptr<Model> Model::create(SpacePopoverServices services) {
    return std::make_shared<Model>(Passkey{}, services);
}

Model::SpacePopoverViewModel(Passkey, SpacePopoverServices services)
    : services_(services), ownBundleIdentifier_(services.workspace.ownBundleIdentifier()) {}

Model::~SpacePopoverViewModel() {
    cancelPendingRefreshes();
}

template <typename T> void Model::assign(T& field, T value, PopoverField which) {
    field = std::move(value);
    announce(which);
}

template <typename Body> void Model::withTransition(TimeSeconds duration, Body body) {
    if (openTransition_) {
        body();
        return;
    }
    openTransition_ = PopoverTransition{++lastTransitionID_, duration};
    body();
    openTransition_.reset();
}

void Model::announce(PopoverField field) {
    // A handler may assign in turn; the outer change is restored for the handlers after it.
    const PopoverChange outer = currentChange_;
    currentChange_ = PopoverChange{field, openTransition_};
    changes_.post(kChangeNotification);
    currentChange_ = outer;
}

ObservationToken Model::observeChanges(std::function<void(const PopoverChange&)> handler) {
    // The centre is the model's own, so the handler never runs after the model is gone.
    return changes_.addObserver(kChangeNotification,
                                [this, handler = std::move(handler)](const Notification&) {
                                    const PopoverChange change = currentChange_;
                                    handler(change);
                                });
}

std::vector<Space> Model::withApps(std::vector<Space> spaces) const {
    return services_.spaceApps ? services_.spaceApps->withApps(std::move(spaces)) : spaces;
}

const Space& Model::completed(const Space& space) const {
    return space_ && space_->spaceID == space.spaceID ? *space_ : space;
}

void Model::setSpace(std::optional<Space> space) {
    if (space)
        space = std::move(withApps({std::move(*space)}).front());
    assign(space_, std::move(space), PopoverField::Space);
}

void Model::setOnDismissRequest(std::function<void()> handler) {
    onDismissRequest_ = std::move(handler);
}

bool Model::isClosable(const SpaceAppDetail& detail) const {
    return isClosableApp(detail.appName, detail.bundleID, ownBundleIdentifier_);
}

MemoryMap Model::readAppMemory(const Space& space) const {
    MemoryMap map;
    for (const auto& detail : space.appDetails)
        if (const auto stats = MemoryProvider::processStats(services_.kernel, detail.pid))
            map[detail.pid] = stats->memoryBytes;
    return map;
}

void Model::updateMemory(const Space& space) {
    assign(systemMemory_, std::optional(MemoryProvider::systemMemory(services_.kernel)),
           PopoverField::SystemMemory);
    assign(appMemoryMap_, readAppMemory(completed(space)), PopoverField::AppMemoryMap);
}

void Model::updateOtherApps(const Space& space, const std::vector<Space>& snapshot,
                            bool fetchMemory) {
    const std::vector<Space> allSpaces = withApps(snapshot);
    // One row per app as the desktop counts them: per key, or per process where each process
    // is an app (a second terminal elsewhere is another app, one on two spaces is one).
    const bool byProcess = services_.workspace.appCounting() == AppCounting::ByProcess;
    const auto identity = [byProcess](const SpaceAppDetail& detail) {
        return byProcess ? std::to_string(detail.pid) : detail.bundleID;
    };
    std::set<std::string, std::less<>> shown;
    for (const auto& detail : completed(space).appDetails)
        shown.insert(identity(detail));
    std::set<std::string, std::less<>> seen;
    std::vector<SpaceAppDetail> others;
    MemoryMap memory;
    for (const auto& other : allSpaces) {
        if (other.spaceID == space.spaceID)
            continue;
        for (const auto& detail : other.appDetails) {
            if (shown.contains(identity(detail)) || !seen.insert(identity(detail)).second)
                continue;
            others.push_back(detail);
            if (fetchMemory) {
                if (const auto stats = MemoryProvider::processStats(services_.kernel, detail.pid))
                    memory[detail.pid] = stats->memoryBytes;
            } else if (const auto known = otherAppMemoryMap_.find(detail.pid);
                       known != otherAppMemoryMap_.end()) {
                memory[detail.pid] = known->second;
            }
        }
    }
    assign(otherApps_, std::move(others), PopoverField::OtherApps);
    assign(otherAppMemoryMap_, std::move(memory), PopoverField::OtherAppMemoryMap);
}

bool Model::hasClosableApps() const {
    const auto closable = [this](const SpaceAppDetail& d) { return isClosable(d); };
    if (space_ && std::any_of(space_->appDetails.begin(), space_->appDetails.end(), closable))
        return true;
    return std::any_of(otherApps_.begin(), otherApps_.end(), closable);
}

void Model::cancelPendingRefreshes() {
    for (const auto& item : pendingRefreshWorkItems_)
        item->cancel();
    pendingRefreshWorkItems_.clear();
}

void Model::scheduleRefresh() {
    cancelPendingRefreshes();
    const std::int64_t generation = ++*refreshGeneration_;
    for (const TimeSeconds delay : {kFirstRefreshDelay, kLastRefreshDelay}) {
        const bool isLast = delay == kLastRefreshDelay;
        auto item = services_.mainQueue.asyncAfter(
            delay, weakly(weak_from_this(), [generation, isLast](Model& self) {
                if (self.refreshGeneration() != generation || !self.space_)
                    return;
                auto& queue = self.services_.mainQueue;
                auto& kernel = self.services_.kernel;
                queue.runInBackground(QualityOfService::Utility, [weakSelf = self.weak_from_this(),
                                                                  counter = self.refreshGeneration_,
                                                                  generation, isLast, &queue,
                                                                  &kernel] {
                    // Compared here without the model; the main thread decides.
                    if (weakSelf.expired() || counter->load() != generation)
                        return;
                    const auto reading = MemoryProvider::systemMemory(kernel);
                    queue.async(weakly(weakSelf, [generation, isLast, reading](Model& self) {
                        self.applyDelayedRefresh(generation, isLast, reading);
                    }));
                });
            }));
        pendingRefreshWorkItems_.push_back(std::move(item));
    }
}

void Model::applyDelayedRefresh(std::int64_t generation, bool isLast,
                                const MemoryProvider::SystemMemory& reading) {
    if (refreshGeneration() != generation || !space_)
        return;
    withTransition(kTransitionDuration, [&] {
        assign(systemMemory_, std::optional(reading), PopoverField::SystemMemory);
    });
    if (isLast)
        pendingRefreshWorkItems_.clear();
}

void Model::reset() {
    cancelPendingRefreshes();
    assign(space_, std::optional<Space>(), PopoverField::Space);
    assign(systemMemory_, std::optional<MemoryProvider::SystemMemory>(),
           PopoverField::SystemMemory);
    assign(appMemoryMap_, MemoryMap{}, PopoverField::AppMemoryMap);
    assign(otherApps_, std::vector<SpaceAppDetail>{}, PopoverField::OtherApps);
    assign(otherAppMemoryMap_, MemoryMap{}, PopoverField::OtherAppMemoryMap);
    assign(showResidualList_, false, PopoverField::ShowResidualList);
    assign(residualProcesses_, std::vector<ResidualProcess>{}, PopoverField::ResidualProcesses);
    assign(lastCleanedCount_, std::optional<std::int64_t>(), PopoverField::LastCleanedCount);
    assign(lastCleanedMemory_, std::uint64_t{0}, PopoverField::LastCleanedMemory);
}

std::uint64_t Model::knownMemory(std::int32_t pid) {
    if (const auto found = appMemoryMap_.find(pid); found != appMemoryMap_.end())
        return found->second;
    if (const auto found = otherAppMemoryMap_.find(pid); found != otherAppMemoryMap_.end())
        return found->second;
    if (const auto stats = MemoryProvider::processStats(services_.kernel, pid))
        return stats->memoryBytes;
    return 0;
}

void Model::subtractFreedMemory(std::uint64_t bytes) {
    if (!systemMemory_ || bytes == 0)
        return;
    auto corrected = *systemMemory_;
    corrected.used = clampedSubtraction(corrected.used, bytes);
    corrected.appMemory = clampedSubtraction(corrected.appMemory, bytes);
    assign(systemMemory_, std::optional(corrected), PopoverField::SystemMemory);
}

void Model::removeApps(const std::vector<std::int32_t>& pids) {
    if (space_) {
        auto space = *space_;
        space.appDetails = without(std::move(space.appDetails), pids);
        assign(space_, std::optional(std::move(space)), PopoverField::Space);
    }
    assign(otherApps_, without(otherApps_, pids), PopoverField::OtherApps);
    assign(appMemoryMap_, withoutKeys(appMemoryMap_, pids), PopoverField::AppMemoryMap);
    assign(otherAppMemoryMap_, withoutKeys(otherAppMemoryMap_, pids),
           PopoverField::OtherAppMemoryMap);
}

void Model::quitApp(std::int32_t pid) {
    const auto matches = [pid](const SpaceAppDetail& d) { return d.pid == pid; };
    const SpaceAppDetail* listed = nullptr;
    if (space_) {
        const auto found =
            std::find_if(space_->appDetails.begin(), space_->appDetails.end(), matches);
        if (found != space_->appDetails.end())
            listed = &*found;
    }
    if (!listed) {
        const auto found = std::find_if(otherApps_.begin(), otherApps_.end(), matches);
        if (found != otherApps_.end())
            listed = &*found;
    }
    if (listed && !isClosable(*listed))
        return;
    // This program, init and other users' processes stay as they are; a pid that is already
    // gone is taken off the lists without asking anyone to quit it.
    const QuitTarget target = services_.actions.checkQuitTarget(pid);
    if (target == QuitTarget::Refused)
        return;

    const std::uint64_t freed = knownMemory(pid);
    withTransition(kTransitionDuration, [&] {
        removeApps({pid});
        subtractFreedMemory(freed);
    });
    if (target == QuitTarget::Allowed) {
        std::weak_ptr<Model> weakSelf = weak_from_this();
        auto& actions = services_.actions;
        services_.mainQueue.runInBackground(QualityOfService::UserInitiated,
                                            [weakSelf, &actions, pid] {
                                                if (!weakSelf.expired())
                                                    actions.terminateApp(pid);
                                            });
    }
    scheduleRefresh();
}

void Model::quitAllClosableApps() {
    std::vector<SpaceAppDetail> chosen;
    std::map<std::int32_t, QuitTarget> targets;
    const auto consider = [&](const SpaceAppDetail& detail) {
        if (!isClosable(detail))
            return;
        auto target = targets.find(detail.pid);
        if (target == targets.end())
            target =
                targets.emplace(detail.pid, services_.actions.checkQuitTarget(detail.pid)).first;
        if (target->second != QuitTarget::Refused)
            chosen.push_back(detail);
    };
    if (space_)
        std::for_each(space_->appDetails.begin(), space_->appDetails.end(), consider);
    std::for_each(otherApps_.begin(), otherApps_.end(), consider);
    if (chosen.empty())
        return;

    std::vector<std::int32_t> pids;
    std::uint64_t freed = 0;
    for (const auto& detail : chosen) {
        if (std::find(pids.begin(), pids.end(), detail.pid) == pids.end())
            pids.push_back(detail.pid);
        freed += knownMemory(detail.pid);
    }
    withTransition(kTransitionDuration, [&] {
        removeApps(pids);
        subtractFreedMemory(freed);
    });

    std::vector<std::int32_t> toTerminate;
    std::copy_if(pids.begin(), pids.end(), std::back_inserter(toTerminate),
                 [&](std::int32_t pid) { return targets.at(pid) == QuitTarget::Allowed; });
    std::weak_ptr<Model> weakSelf = weak_from_this();
    auto& actions = services_.actions;
    services_.mainQueue.runInBackground(QualityOfService::UserInitiated,
                                        [weakSelf, &actions, toTerminate] {
                                            for (const auto pid : toTerminate)
                                                if (!weakSelf.expired())
                                                    actions.terminateApp(pid);
                                        });
    scheduleRefresh();
}

void Model::scanResidualProcesses() {
    // The scan button is disabled while a scan or a clean-up runs; so is the model.
    if (isScanning_)
        return;
    cancelPendingRefreshes();
    assign(isScanning_, true, PopoverField::IsScanning);
    assign(lastCleanedCount_, std::optional<std::int64_t>(), PopoverField::LastCleanedCount);
    assign(lastCleanedMemory_, std::uint64_t{0}, PopoverField::LastCleanedMemory);

    std::weak_ptr<Model> weakSelf = weak_from_this();
    auto& queue = services_.mainQueue;
    auto& cleaner = services_.cleaner;
    queue.runInBackground(QualityOfService::UserInitiated, [weakSelf, &queue, &cleaner] {
        if (weakSelf.expired())
            return;
        auto found = cleaner.findResidualProcesses();
        queue.async(weakly(weakSelf, [found = std::move(found)](Model& self) mutable {
            self.assign(self.residualProcesses_, std::move(found), PopoverField::ResidualProcesses);
            self.assign(self.isScanning_, false, PopoverField::IsScanning);
            self.assign(self.showResidualList_, true, PopoverField::ShowResidualList);
        }));
    });
}

void Model::terminateResidualProcess(const ResidualProcess& process) {
    // The row goes only once a signal reached its process or the process has ended: a row
    // that was refused stays, so the panel never reports an end it did not bring about.
    std::weak_ptr<Model> weakSelf = weak_from_this();
    auto& queue = services_.mainQueue;
    auto& cleaner = services_.cleaner;
    queue.runInBackground(QualityOfService::UserInitiated, [weakSelf, &queue, &cleaner, process] {
        if (cleaner.terminate({process}).front() == TerminationOutcome::Refused)
            return;
        queue.async(
            weakly(weakSelf, [process](Model& self) { self.removeTerminatedResidual(process); }));
    });
    scheduleRefresh();
}

void Model::removeTerminatedResidual(const ResidualProcess& process) {
    // A second × on the row, a new scan or the list's dismissal may have taken it already.
    if (std::none_of(residualProcesses_.begin(), residualProcesses_.end(),
                     [&](const ResidualProcess& p) { return p.id == process.id; }))
        return;
    const std::uint64_t freed = process.memoryBytes.value_or(0);
    withTransition(kTransitionDuration, [&] {
        auto remaining = residualProcesses_;
        std::erase_if(remaining, [&](const ResidualProcess& p) { return p.id == process.id; });
        assign(residualProcesses_, std::move(remaining), PopoverField::ResidualProcesses);
        assign(lastCleanedCount_, std::optional(lastCleanedCount_.value_or(0) + 1),
               PopoverField::LastCleanedCount);
        assign(lastCleanedMemory_, lastCleanedMemory_ + freed, PopoverField::LastCleanedMemory);
        subtractFreedMemory(freed);
    });
}

void Model::terminateResidualProcess(std::int32_t pid) {
    const auto found = std::find_if(residualProcesses_.begin(), residualProcesses_.end(),
                                    [pid](const ResidualProcess& p) { return p.id == pid; });
    if (found == residualProcesses_.end())
        return;
    const ResidualProcess process = *found;
    terminateResidualProcess(process);
}

void Model::cleanAllResidualProcesses() {
    if (isScanning_)
        return;
    auto listed = residualProcesses_;
    const std::uint64_t total = ResidualProcessCleaner::totalMemory(listed);
    assign(isScanning_, true, PopoverField::IsScanning);

    std::weak_ptr<Model> weakSelf = weak_from_this();
    auto& queue = services_.mainQueue;
    auto& cleaner = services_.cleaner;
    auto& kernel = services_.kernel;
    queue.runInBackground(QualityOfService::UserInitiated, [weakSelf, listed = std::move(listed),
                                                            total, &queue, &cleaner, &kernel] {
        const int terminated = cleaner.terminateProcesses(listed);
        const auto reading = MemoryProvider::systemMemory(kernel);
        queue.async(weakly(weakSelf, [terminated, total, reading](Model& self) {
            self.finishCleanAll(terminated, total, reading);
        }));
    });
}

void Model::finishCleanAll(int terminated, std::uint64_t freed,
                           const MemoryProvider::SystemMemory& reading) {
    // Read here rather than on the background queue: `space` belongs to the main thread.
    auto appMemory = space_ ? readAppMemory(*space_) : MemoryMap{};
    withTransition(kTransitionDuration, [&] {
        assign(residualProcesses_, std::vector<ResidualProcess>{}, PopoverField::ResidualProcesses);
        assign(lastCleanedCount_, std::optional(lastCleanedCount_.value_or(0) + terminated),
               PopoverField::LastCleanedCount);
        assign(lastCleanedMemory_, lastCleanedMemory_ + freed, PopoverField::LastCleanedMemory);
        assign(isScanning_, false, PopoverField::IsScanning);
        assign(systemMemory_, std::optional(reading), PopoverField::SystemMemory);
        assign(appMemoryMap_, std::move(appMemory), PopoverField::AppMemoryMap);
    });
}

void Model::dismissResidualList() {
    withTransition(kDismissTransitionDuration, [&] {
        assign(showResidualList_, false, PopoverField::ShowResidualList);
        assign(residualProcesses_, std::vector<ResidualProcess>{}, PopoverField::ResidualProcesses);
        assign(lastCleanedCount_, std::optional<std::int64_t>(), PopoverField::LastCleanedCount);
        assign(lastCleanedMemory_, std::uint64_t{0}, PopoverField::LastCleanedMemory);
    });
}

void Model::sleepSystem() {
    if (isSleeping_)
        return;
    isSleeping_ = true;
    if (sleepFailed_)
        assign(sleepFailed_, false, PopoverField::SleepFailed);

    auto& queue = services_.mainQueue;
    queue.async(weakly(weak_from_this(), [](Model& self) {
        if (self.onDismissRequest_)
            self.onDismissRequest_();
    }));
    std::weak_ptr<Model> weakSelf = weak_from_this();
    auto& actions = services_.actions;
    queue.runInBackground(QualityOfService::UserInitiated, [weakSelf, &actions, &queue] {
        const SleepOutcome outcome = actions.performSystemSleep();
        queue.async(weakly(weakSelf, [outcome](Model& self) {
            if (outcome == SleepOutcome::Failed)
                self.assign(self.sleepFailed_, true, PopoverField::SleepFailed);
            self.services_.mainQueue.asyncAfter(
                kSleepGuardDelay,
                weakly(self.weak_from_this(), [](Model& model) { model.isSleeping_ = false; }));
        }));
    });
}

} // namespace tidemark
