#include "platform/sim/SimMemoryPressure.h"

#include <algorithm>

namespace tidemark::sim {
namespace {

// Owns the handler: the simulator only holds it weakly, so a cancelled or destroyed source
// stops receiving events, including ones already queued.
class Source final : public MemoryPressureSource {
public:
    explicit Source(std::shared_ptr<std::function<void()>> handler)
        : handler_(std::move(handler)) {}
    void cancel() override { handler_.reset(); }

private:
    std::shared_ptr<std::function<void()>> handler_;
};

} // namespace

std::unique_ptr<MemoryPressureSource>
SimMemoryPressure::startSource(std::function<void()> handler) {
    auto shared = std::make_shared<Handler>(std::move(handler));
    std::erase_if(handlers_, [](const auto& weak) { return weak.expired(); });
    handlers_.push_back(shared);
    return std::make_unique<Source>(std::move(shared));
}

void SimMemoryPressure::raiseWarning() {
    for (const auto& weak : handlers_)
        mainQueue_.async([weak] {
            if (auto handler = weak.lock())
                (*handler)();
        });
}

std::size_t SimMemoryPressure::liveSourceCount() const {
    return std::size_t(std::count_if(handlers_.begin(), handlers_.end(),
                                     [](const auto& weak) { return !weak.expired(); }));
}

} // namespace tidemark::sim
