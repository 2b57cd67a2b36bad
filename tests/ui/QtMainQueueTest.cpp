#include "ui/QtMainQueue.h"

#include "support/DescriptorWatching.h"
#include "support/QtEvents.h"
#include "ui/GuiApplication.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <atomic>
#include <chrono>
#include <gtest/gtest.h>
#include <string>
#include <thread>
#include <vector>

namespace tidemark {
namespace {

using testing::serveUntil;

TEST(QtMainQueue, RunsBlocksInOrderAndSkipsCancelledItems) {
    ui::ensureGuiApplication();
    ui::QtMainQueue queue;
    std::vector<int> order;
    auto cancelled = queue.asyncAfter(0.01, [&] { order.push_back(99); });
    queue.asyncAfter(0.03, [&] { order.push_back(3); });
    queue.async([&] { order.push_back(1); });
    queue.async([&] { order.push_back(2); });
    cancelled->cancel();
    ASSERT_TRUE(serveUntil([&] { return order.size() >= 3; }));
    QCoreApplication::processEvents(QEventLoop::AllEvents, 30);
    EXPECT_EQ(order, (std::vector<int>{1, 2, 3}));
    EXPECT_GT(queue.now(), 0.02);
}

TEST(QtMainQueue, DelayedBlocksRunByDeadlineAndOneMayCancelAnotherThatIsDue) {
    ui::ensureGuiApplication();
    ui::QtMainQueue queue;
    std::vector<std::string> order;
    std::shared_ptr<WorkItem> last;
    queue.asyncAfter(0.03, [&] { order.push_back("c"); });
    queue.asyncAfter(0.01, [&] {
        order.push_back("a");
        // Due later; even when this block runs late and both are due, it never runs.
        last->cancel();
    });
    last = queue.asyncAfter(0.02, [&] { order.push_back("never"); });
    queue.asyncAfter(0.01, [&] { order.push_back("b"); });
    ASSERT_TRUE(serveUntil([&] { return order.size() >= 3; }));
    EXPECT_EQ(order, (std::vector<std::string>{"a", "b", "c"}));
}

TEST(QtMainQueue, RepeatingTimerStopsForGoodWhenInvalidated) {
    ui::ensureGuiApplication();
    ui::QtMainQueue queue;
    int ticks = 0;
    auto timer = queue.scheduleRepeatingTimer(0.01, 0.002, [&] { ++ticks; });
    ASSERT_TRUE(serveUntil([&] { return ticks >= 3; }));
    timer->invalidate();
    const int atInvalidation = ticks;
    const auto until = queue.now() + 0.05;
    serveUntil([&] { return queue.now() > until; });
    EXPECT_EQ(ticks, atInvalidation);
    EXPECT_FALSE(timer->isValid());
}

TEST(QtMainQueue, BackgroundWorkHandsItsResultToTheMainThread) {
    ui::ensureGuiApplication();
    ui::QtMainQueue queue;
    const auto mainThread = std::this_thread::get_id();
    std::thread::id workerThread;
    std::thread::id resultThread;
    bool delivered = false;
    queue.runInBackground(QualityOfService::Utility, [&] {
        workerThread = std::this_thread::get_id();
        queue.async([&] {
            resultThread = std::this_thread::get_id();
            delivered = true;
        });
    });
    ASSERT_TRUE(serveUntil([&] { return delivered; }));
    EXPECT_NE(workerThread, mainThread);
    EXPECT_EQ(resultThread, mainThread);
}

TEST(QtMainQueue, WaitsForRunningBackgroundWorkBeforeGoingOrWhenAsked) {
    ui::ensureGuiApplication();
    for (const bool asked : {false, true}) {
        std::atomic<bool> started{false};
        std::atomic<bool> finished{false};
        {
            ui::QtMainQueue queue;
            queue.runInBackground(QualityOfService::Background, [&] {
                started = true;
                std::this_thread::sleep_for(std::chrono::milliseconds(50));
                // A result handed over while the queue is being destroyed must still find it.
                queue.async([] {});
                finished = true;
            });
            while (!started)
                std::this_thread::yield();
            if (asked) {
                // The live app does so before the services the work uses go.
                queue.finishBackgroundWork();
                EXPECT_TRUE(finished);
            }
        }
        EXPECT_TRUE(finished) << (asked ? "asked" : "destroyed");
    }
}

TEST(QtMainQueue, ServesWatchedDescriptorsUntilTheirWatchGoes) {
    ui::ensureGuiApplication();
    ui::QtMainQueue queue;
    EXPECT_EQ(testing::descriptorWatchingFault(
                  queue, [](const std::function<bool()>& done) { return serveUntil(done); }),
              "");
}

} // namespace
} // namespace tidemark
