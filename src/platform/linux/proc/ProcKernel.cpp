#include "platform/linux/proc/ProcKernel.h"

#include "platform/linux/proc/ProcFiles.h"

#include <cerrno>
#include <charconv>
#include <csignal>
#include <dirent.h>
#include <sys/sysinfo.h>
#include <thread>
#include <unistd.h>

namespace tidemark::linux_proc {

namespace {

constexpr std::size_t kSmallFileBytes = 64 * 1024;
constexpr std::uint64_t kKibibyte = 1024;

std::uint64_t value(const std::string& text, std::string_view key) {
    return keyedNumber(text, key).value_or(0);
}

} // namespace

ProcKernel::ProcKernel(std::filesystem::path procRoot, std::filesystem::path sysRoot)
    : procRoot_(procRoot.string()), sysRoot_(std::move(sysRoot)),
      pageSize_(std::uint64_t(::sysconf(_SC_PAGESIZE))),
      ticksPerSecond_(std::uint64_t(::sysconf(_SC_CLK_TCK))), ownPID_(::getpid()),
      ownUID_(::getuid()) {}

std::string ProcKernel::processFile(std::int32_t pid, const char* name) const {
    return procRoot_ + "/" + std::to_string(pid) + "/" + name;
}

std::uint64_t ProcKernel::ticksToNanoseconds(std::uint64_t ticks) const {
    if (ticksPerSecond_ == 0)
        return 0;
    return ticks / ticksPerSecond_ * 1'000'000'000 +
           ticks % ticksPerSecond_ * 1'000'000'000 / ticksPerSecond_;
}

std::uint64_t ProcKernel::physicalMemory() {
    if (const auto meminfo = readFile(procRoot_ + "/meminfo", kSmallFileBytes))
        if (const auto total = keyedNumber(*meminfo, "MemTotal"))
            return *total * kKibibyte;
    struct sysinfo info {};
    if (::sysinfo(&info) != 0)
        return 0;
    return std::uint64_t(info.totalram) * info.mem_unit;
}

// Memory the compressors occupy: the zswap pool and every zram device's own use.
std::uint64_t ProcKernel::compressedBytes() {
    std::uint64_t bytes = 0;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(sysRoot_ / "block", error)) {
        if (!entry.path().filename().string().starts_with("zram"))
            continue;
        const auto stat = readFile((entry.path() / "mm_stat").string(), 4096);
        if (!stat)
            continue;
        // orig_data_size compr_data_size mem_used_total ...
        std::string_view rest = *stat;
        for (int field = 0; field < 3; ++field) {
            const auto start = rest.find_first_not_of(" \t\n");
            if (start == std::string_view::npos)
                break;
            rest.remove_prefix(start);
            const auto end = std::min(rest.find_first_of(" \t\n"), rest.size());
            if (field == 2) {
                std::uint64_t used = 0;
                for (const char c : rest.substr(0, end))
                    used = used * 10 + std::uint64_t(c - '0');
                bytes += used;
            }
            rest.remove_prefix(end);
        }
    }
    return bytes;
}

std::optional<VmStatistics> ProcKernel::vmStatistics() {
    const auto meminfo = readFile(procRoot_ + "/meminfo", kSmallFileBytes);
    if (!meminfo || !keyedNumber(*meminfo, "MemTotal") || pageSize_ == 0)
        return std::nullopt;
    const auto pages = [&](std::uint64_t kibibytes) { return kibibytes * kKibibyte / pageSize_; };
    VmStatistics statistics;
    statistics.wireCount = pages(value(*meminfo, "SUnreclaim") + value(*meminfo, "KernelStack") +
                                 value(*meminfo, "PageTables") + value(*meminfo, "SecPageTables") +
                                 value(*meminfo, "Percpu") + value(*meminfo, "Unevictable"));
    statistics.compressorPageCount =
        pages(value(*meminfo, "Zswap")) + compressedBytes() / pageSize_;
    statistics.internalPageCount = pages(value(*meminfo, "AnonPages"));
    statistics.purgeableCount = 0;
    return statistics;
}

std::optional<std::uint64_t> ProcKernel::availableMemory() {
    const auto meminfo = readFile(procRoot_ + "/meminfo", kSmallFileBytes);
    const auto available = meminfo ? keyedNumber(*meminfo, "MemAvailable") : std::nullopt;
    return available ? std::optional(*available * kKibibyte) : std::nullopt;
}

std::optional<ProcessUsageRecord> ProcKernel::processUsage(std::int32_t pid) {
    const auto stat = readFile(processFile(pid, "stat"), kSmallFileBytes);
    const auto fields = stat ? parseStat(*stat) : std::nullopt;
    if (!fields)
        return std::nullopt;
    const auto status = readFile(processFile(pid, "status"), kSmallFileBytes);
    if (!status)
        return std::nullopt;
    ProcessUsageRecord usage;
    usage.physFootprint = value(*status, "VmRSS") * kKibibyte;
    usage.userTimeNs = ticksToNanoseconds(fields->userTicks);
    usage.systemTimeNs = ticksToNanoseconds(fields->systemTicks);
    usage.idleWakeups = value(*status, "voluntary_ctxt_switches");
    return usage;
}

std::optional<TaskRecord> ProcKernel::taskRecord(std::int32_t pid) {
    const auto stat = readFile(processFile(pid, "stat"), kSmallFileBytes);
    const auto fields = stat ? parseStat(*stat) : std::nullopt;
    if (!fields)
        return std::nullopt;
    return TaskRecord{fields->residentPages * pageSize_, ticksToNanoseconds(fields->userTicks),
                      ticksToNanoseconds(fields->systemTicks)};
}

std::optional<std::vector<std::int32_t>> ProcKernel::processIdentifiers() {
    DIR* directory = ::opendir(procRoot_.c_str());
    if (!directory)
        return std::nullopt;
    std::vector<std::int32_t> pids;
    while (const dirent* entry = ::readdir(directory)) {
        std::int32_t pid = 0;
        const char* name = entry->d_name;
        const char* end = name + std::char_traits<char>::length(name);
        const auto result = std::from_chars(name, end, pid);
        if (result.ec == std::errc() && result.ptr == end && pid > 0)
            pids.push_back(pid);
    }
    ::closedir(directory);
    return pids;
}

std::optional<std::string> ProcKernel::processName(std::int32_t pid) {
    const auto comm = readFile(processFile(pid, "comm"), kMaxNameBytes);
    if (!comm)
        return std::nullopt;
    if (!isCutName(*comm))
        return linux_proc::processName(*comm, "", kMaxNameBytes);
    const auto commandLine = readFile(processFile(pid, "cmdline"), kMaxPathBytes);
    auto name = linux_proc::processName(*comm, commandLine.value_or(""), kMaxNameBytes);
    // argv[0] may have been rewritten; the running program's file name completes it then.
    if (isCutName(name))
        if (auto path = executablePath(pid)) {
            constexpr std::string_view kDeleted = " (deleted)";
            if (path->ends_with(kDeleted))
                path->resize(path->size() - kDeleted.size());
            name = linux_proc::processName(*comm, *path, kMaxNameBytes);
        }
    return name;
}

std::optional<std::string> ProcKernel::executablePath(std::int32_t pid) {
    char buffer[kMaxPathBytes];
    const ssize_t length = ::readlink(processFile(pid, "exe").c_str(), buffer, sizeof buffer);
    if (length < 1)
        return std::nullopt;
    return sanitizedText(std::string_view(buffer, std::size_t(length)), kMaxPathBytes);
}

std::optional<std::int32_t> ProcKernel::parentProcessIdentifier(std::int32_t pid) {
    const auto stat = readFile(processFile(pid, "stat"), kSmallFileBytes);
    const auto fields = stat ? parseStat(*stat) : std::nullopt;
    return fields ? std::optional(fields->ppid) : std::nullopt;
}

std::optional<std::string> ProcKernel::argumentText(std::int32_t pid) {
    const auto commandLine = readFile(processFile(pid, "cmdline"), kMaxArgumentBytes);
    // Kernel threads have no argument area at all.
    if (!commandLine || commandLine->empty())
        return std::nullopt;
    // The environment is readable for this user's processes only; without it the text
    // still holds the command line.
    const auto environment =
        commandLine->size() < kMaxArgumentBytes
            ? readFile(processFile(pid, "environ"), kMaxArgumentBytes - commandLine->size())
            : std::nullopt;
    return argumentLine(*commandLine, environment.value_or(""), kMaxArgumentBytes);
}

std::optional<std::int64_t> ProcKernel::ownerUserId(std::int32_t pid) {
    const auto status = readFile(processFile(pid, "status"), kSmallFileBytes);
    if (!status)
        return std::nullopt;
    const auto uid = keyedNumber(*status, "Uid");
    return uid ? std::optional(std::int64_t(*uid)) : std::nullopt;
}

std::optional<std::uint64_t> ProcKernel::startTime(std::int32_t pid) {
    return processStartTicks(procRoot_, pid);
}

std::optional<std::int32_t> ProcKernel::processOfTask(std::int32_t pid) {
    return threadGroupOf(procRoot_, pid);
}

bool ProcKernel::sendSignal(std::int32_t pid, Signal signal) {
    return ::kill(pid, static_cast<int>(signal)) == 0;
}

void ProcKernel::sleepFor(std::chrono::microseconds duration) {
    std::this_thread::sleep_for(duration);
}

} // namespace tidemark::linux_proc
