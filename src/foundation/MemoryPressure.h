#pragma once

#include <functional>
#include <memory>

namespace tidemark {

// A started subscription to memory-pressure events; it delivers nothing once cancelled or
// destroyed.
class MemoryPressureSource {
public:
    virtual ~MemoryPressureSource() = default;
    virtual void cancel() = 0;
};

// The system's memory-pressure events of the warning and critical levels.
class MemoryPressureEvents {
public:
    virtual ~MemoryPressureEvents() = default;
    // Starts a source whose `handler` runs on the main queue at every such event.
    [[nodiscard]] virtual std::unique_ptr<MemoryPressureSource>
    startSource(std::function<void()> handler) = 0;
};

} // namespace tidemark
