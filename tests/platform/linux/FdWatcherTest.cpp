#include "platform/linux/FdWatcher.h"

#include "platform/linux/PollMainQueue.h"

#include <cstring>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <thread>
#include <unistd.h>

namespace tidemark::linux_platform {
namespace {

// A pipe whose reading end is the source's descriptor; records on which thread it ran.
struct PipeSource final : EventSource {
    int fds[2] = {-1, -1};
    std::string read;
    int dispatches = 0;
    bool onMainThread = true;
    std::thread::id mainThread = std::this_thread::get_id();

    PipeSource() { EXPECT_EQ(::pipe2(fds, O_NONBLOCK), 0); }
    ~PipeSource() override {
        ::close(fds[0]);
        ::close(fds[1]);
    }
    std::vector<int> eventFds() override { return {fds[0]}; }
    void dispatchEvents() override {
        ++dispatches;
        onMainThread = onMainThread && std::this_thread::get_id() == mainThread;
        char buffer[16];
        ssize_t n;
        while ((n = ::read(fds[0], buffer, sizeof buffer)) > 0)
            read.append(buffer, static_cast<std::size_t>(n));
    }
    void send(const char* text) { EXPECT_GT(::write(fds[1], text, std::strlen(text)), 0); }
};

TEST(FdWatcher, DeliversReadableDescriptorsOnTheMainQueue) {
    PollMainQueue queue;
    PipeSource source;
    FdWatcher watcher(queue, source);
    source.send("a");
    ASSERT_TRUE(queue.runUntil([&] { return source.read == "a"; }, 5));
    source.send("b");
    ASSERT_TRUE(queue.runUntil([&] { return source.read == "ab"; }, 5));
    EXPECT_TRUE(source.onMainThread);
    // Nothing readable: no dispatch at all, so nothing polls on a timer.
    const int before = source.dispatches;
    queue.runUntil([] { return false; }, 0.05);
    EXPECT_EQ(source.dispatches, before);
}

TEST(FdWatcher, FollowsChangedDescriptorsAndStopsCleanly) {
    PollMainQueue queue;
    PipeSource first;
    PipeSource second;
    struct Switching final : EventSource {
        EventSource* current;
        std::vector<int> eventFds() override { return current->eventFds(); }
        void dispatchEvents() override { current->dispatchEvents(); }
    } switching;
    switching.current = &first;
    {
        FdWatcher watcher(queue, switching);
        switching.current = &second;
        watcher.descriptorsChanged();
        second.send("x");
        ASSERT_TRUE(queue.runUntil([&] { return second.read == "x"; }, 5));
        first.send("y");
        queue.runUntil([] { return false; }, 0.05);
        EXPECT_EQ(first.read, "");
        second.send("z");
    }
    // What arrived just before the watcher died is never dispatched.
    queue.runUntilIdle(1);
    EXPECT_EQ(second.read, "x");

    // An owner that stops on what it read ends the watcher within the dispatch.
    std::unique_ptr<FdWatcher> ending;
    struct Ending final : EventSource {
        PipeSource* pipe;
        std::unique_ptr<FdWatcher>* watcher;
        std::vector<int> eventFds() override { return pipe->eventFds(); }
        void dispatchEvents() override {
            pipe->dispatchEvents();
            watcher->reset();
        }
    } endingSource;
    endingSource.pipe = &first;
    endingSource.watcher = &ending;
    ending = std::make_unique<FdWatcher>(queue, endingSource);
    first.send("w");
    ASSERT_TRUE(queue.runUntil([&] { return !ending; }, 5));
    EXPECT_EQ(first.read, "yw");
}

} // namespace
} // namespace tidemark::linux_platform
