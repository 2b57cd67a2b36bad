#pragma once

#include "foundation/MainQueue.h"

#include <atomic>
#include <chrono>
#include <memory>
#include <thread>

namespace tidemark::testing {

// Starts three pieces of background work that hand something back to the queue after a
// pause, destroys the queue at once, and answers how many had finished by then. A queue
// that outlives its background work answers 3.
template <typename Queue> int backgroundWorkFinishedWhenTheQueueWentAway() {
    // Kept outside the queue, so that reading it never touches a destroyed queue.
    auto handedBack = std::make_shared<std::atomic<int>>(0);
    {
        Queue queue;
        for (int i = 0; i < 3; ++i)
            queue.runInBackground(QualityOfService::Utility, [&queue, handedBack] {
                std::this_thread::sleep_for(std::chrono::milliseconds(50));
                queue.async([] {});
                ++*handedBack;
            });
    }
    return handedBack->load();
}

} // namespace tidemark::testing
