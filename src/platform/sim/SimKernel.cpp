#include "platform/sim/SimKernel.h"

namespace tidemark::sim {

namespace {

std::uint64_t unsignedOf(std::int64_t value) {
    return value < 0 ? 0 : std::uint64_t(value);
}

} // namespace

SimKernel::SimKernel(const Scenario& scenario)
    : memory_(scenario.memory), ownPID_(scenario.self.pid), ownUID_(scenario.self.uid) {
    for (const auto& process : scenario.processes)
        addProcess(process);
}

const Process* SimKernel::find(std::int32_t pid) const {
    const auto found = indexByPID_.find(pid);
    return found == indexByPID_.end() ? nullptr : &processes_[found->second];
}

void SimKernel::addProcess(const Process& process) {
    std::lock_guard lock(mutex_);
    if (const auto found = indexByPID_.find(process.pid); found != indexByPID_.end()) {
        processes_[found->second] = process;
        return;
    }
    indexByPID_[process.pid] = processes_.size();
    processes_.push_back(process);
}

void SimKernel::removeProcess(std::int32_t pid) {
    std::lock_guard lock(mutex_);
    removeLocked(pid);
}

void SimKernel::removeLocked(std::int32_t pid) {
    const auto found = indexByPID_.find(pid);
    if (found == indexByPID_.end())
        return;
    // A process takes its other threads along.
    std::erase_if(processes_, [pid](const Process& process) {
        return process.pid == pid || process.threadOf == pid;
    });
    indexByPID_.clear();
    for (std::size_t i = 0; i < processes_.size(); ++i)
        indexByPID_[processes_[i].pid] = i;
}

void SimKernel::setMemory(const Memory& memory) {
    std::lock_guard lock(mutex_);
    memory_ = memory;
}

std::uint64_t SimKernel::physicalMemory() {
    std::lock_guard lock(mutex_);
    return unsignedOf(memory_.physicalMemory);
}

std::optional<tidemark::VmStatistics> SimKernel::vmStatistics() {
    std::lock_guard lock(mutex_);
    if (!memory_.vmStatistics)
        return std::nullopt;
    const auto& s = *memory_.vmStatistics;
    return tidemark::VmStatistics{unsignedOf(s.wireCount), unsignedOf(s.compressorPageCount),
                                  unsignedOf(s.internalPageCount), unsignedOf(s.purgeableCount)};
}

std::uint64_t SimKernel::pageSize() {
    std::lock_guard lock(mutex_);
    return unsignedOf(memory_.pageSize);
}

std::optional<ProcessUsageRecord> SimKernel::processUsage(std::int32_t pid) {
    std::lock_guard lock(mutex_);
    const Process* process = find(pid);
    if (!process || !process->rusage)
        return std::nullopt;
    const auto& usage = *process->rusage;
    return ProcessUsageRecord{unsignedOf(usage.physFootprint), unsignedOf(usage.userTimeNs),
                              unsignedOf(usage.systemTimeNs), unsignedOf(usage.idleWakeups)};
}

std::optional<TaskRecord> SimKernel::taskRecord(std::int32_t pid) {
    std::lock_guard lock(mutex_);
    const Process* process = find(pid);
    if (!process || !process->taskInfo)
        return std::nullopt;
    const auto& task = *process->taskInfo;
    return TaskRecord{unsignedOf(task.residentSize), unsignedOf(task.userTimeNs),
                      unsignedOf(task.systemTimeNs)};
}

std::optional<std::vector<std::int32_t>> SimKernel::processIdentifiers() {
    std::lock_guard lock(mutex_);
    std::vector<std::int32_t> pids;
    pids.reserve(processes_.size());
    for (const auto& process : processes_)
        if (!process.threadOf)
            pids.push_back(process.pid);
    return pids;
}

std::optional<std::string> SimKernel::processName(std::int32_t pid) {
    std::lock_guard lock(mutex_);
    const Process* process = find(pid);
    return process ? process->name : std::nullopt;
}

std::optional<std::string> SimKernel::executablePath(std::int32_t pid) {
    std::lock_guard lock(mutex_);
    const Process* process = find(pid);
    return process ? process->path : std::nullopt;
}

std::optional<std::int32_t> SimKernel::parentProcessIdentifier(std::int32_t pid) {
    std::lock_guard lock(mutex_);
    const Process* process = find(pid);
    return process ? std::optional(process->ppid) : std::nullopt;
}

std::optional<std::string> SimKernel::argumentText(std::int32_t pid) {
    std::lock_guard lock(mutex_);
    ++argumentTextQueries_;
    const Process* process = find(pid);
    return process ? process->args : std::nullopt;
}

std::optional<std::int64_t> SimKernel::ownerUserId(std::int32_t pid) {
    std::lock_guard lock(mutex_);
    const Process* process = find(pid);
    return process ? std::optional(process->uid) : std::nullopt;
}

std::optional<std::uint64_t> SimKernel::startTime(std::int32_t pid) {
    std::lock_guard lock(mutex_);
    const Process* process = find(pid);
    return process ? std::optional(unsignedOf(process->startTime)) : std::nullopt;
}

std::optional<std::int32_t> SimKernel::processOfTask(std::int32_t pid) {
    std::lock_guard lock(mutex_);
    const Process* process = find(pid);
    return process ? std::optional(process->threadOf.value_or(pid)) : std::nullopt;
}

bool SimKernel::sendSignal(std::int32_t pid, Signal signal) {
    std::unique_lock lock(mutex_);
    const Process* task = find(pid);
    const Process* process = task && task->threadOf ? find(*task->threadOf) : task;
    // As the real kernel: only the superuser may signal another user's process.
    const bool delivered = process && (ownUID_ == 0 || process->uid == ownUID_);
    const std::int32_t target = process ? process->pid : pid;
    sent_.push_back({pid, signal, delivered});
    const auto hook = signalHook_;
    const bool dies = delivered && ((signal == Signal::Terminate && !process->ignoresSigterm) ||
                                    (signal == Signal::Kill && !process->ignoresSigkill));
    lock.unlock();
    if (hook)
        hook(pid, signal, delivered);
    if (!delivered)
        return false;
    if (dies)
        removeProcess(target);
    return true;
}

void SimKernel::sleepFor(std::chrono::microseconds duration) {
    std::function<void(std::chrono::microseconds)> hook;
    {
        std::lock_guard lock(mutex_);
        slept_ += duration;
        hook = sleepHook_;
    }
    if (hook)
        hook(duration);
}

void SimKernel::setSleepHook(std::function<void(std::chrono::microseconds)> hook) {
    std::lock_guard lock(mutex_);
    sleepHook_ = std::move(hook);
}

void SimKernel::setSignalHook(std::function<void(std::int32_t, Signal, bool)> hook) {
    std::lock_guard lock(mutex_);
    signalHook_ = std::move(hook);
}

std::vector<SimKernel::SentSignal> SimKernel::sentSignals() const {
    std::lock_guard lock(mutex_);
    return sent_;
}

std::chrono::microseconds SimKernel::totalSleep() const {
    std::lock_guard lock(mutex_);
    return slept_;
}

int SimKernel::argumentTextQueries() const {
    std::lock_guard lock(mutex_);
    return argumentTextQueries_;
}

} // namespace tidemark::sim
