#pragma once

#include "foundation/MainQueue.h"
#include "foundation/MemoryPressure.h"

#include <filesystem>
#include <string>

namespace tidemark::linux_platform {

// Memory pressure from the kernel's pressure-stall information: a trigger on
// /proc/pressure/memory fires when tasks stalled on memory for `stallMicroseconds` within a
// window. Without PSI (old kernels, no permission) the sources it starts never fire.
class PsiMemoryPressure final : public MemoryPressureEvents {
public:
    // A stall of 150 ms within 2 s: a system short of memory, not one that paged once. Two
    // seconds is the shortest window unprivileged processes may ask for.
    static constexpr unsigned kStallMicroseconds = 150'000;
    static constexpr unsigned kWindowMicroseconds = 2'000'000;

    explicit PsiMemoryPressure(MainQueue& mainQueue,
                               std::filesystem::path file = "/proc/pressure/memory")
        : mainQueue_(mainQueue), file_(std::move(file)) {}

    std::unique_ptr<MemoryPressureSource> startSource(std::function<void()> handler) override;

    // The trigger text written to the pressure file.
    static std::string triggerText(unsigned stallMicroseconds, unsigned windowMicroseconds);

private:
    MainQueue& mainQueue_;
    std::filesystem::path file_;
};

} // namespace tidemark::linux_platform
