#pragma once

#include "foundation/MainQueue.h"
#include "foundation/MemoryPressure.h"

#include <vector>

namespace tidemark::sim {

// Memory-pressure events raised on demand, delivered through the main queue like the real
// source's.
class SimMemoryPressure final : public MemoryPressureEvents {
public:
    explicit SimMemoryPressure(MainQueue& mainQueue) : mainQueue_(mainQueue) {}

    std::unique_ptr<MemoryPressureSource> startSource(std::function<void()> handler) override;

    // A warning: every live source's handler is queued on the main queue.
    void raiseWarning();
    std::size_t liveSourceCount() const;

private:
    using Handler = std::function<void()>;
    MainQueue& mainQueue_;
    std::vector<std::weak_ptr<Handler>> handlers_;
};

} // namespace tidemark::sim
