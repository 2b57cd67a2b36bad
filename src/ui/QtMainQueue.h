#pragma once

#include "foundation/MainQueue.h"

#include <QElapsedTimer>
#include <QObject>
#include <QThreadPool>
#include <QTimer>
#include <cstdint>
#include <map>
#include <memory>
#include <utility>

namespace tidemark::ui {

// The main queue over Qt's event loop. Background work runs on a thread pool of the
// queue's own, by priority; the queue waits for it when it goes, so no block outlives the
// queue it hands its result to.
class QtMainQueue final : public MainQueue {
public:
    QtMainQueue();
    ~QtMainQueue() override;
    QtMainQueue(const QtMainQueue&) = delete;
    QtMainQueue& operator=(const QtMainQueue&) = delete;

    TimeSeconds now() const override;
    void async(std::function<void()> block) override;
    std::shared_ptr<WorkItem> asyncAfter(TimeSeconds delay, std::function<void()> block) override;
    std::shared_ptr<RepeatingTimer> scheduleRepeatingTimer(TimeSeconds interval,
                                                           TimeSeconds tolerance,
                                                           std::function<void()> action) override;
    void runInBackground(QualityOfService qos, std::function<void()> block) override;
    std::unique_ptr<DescriptorWatch> watchDescriptor(int descriptor, DescriptorCondition condition,
                                                     std::function<void()> ready) override;
    // Drops the background blocks that have not started and waits for the running ones, for
    // an owner whose services those blocks use and that go before the queue does.
    void finishBackgroundWork();

private:
    // The delayed blocks in the order they are due, on one timer armed for the earliest: a
    // cancelled block wakes nobody and costs no timer of its own.
    class DelayedBlocks {
    public:
        using Key = std::pair<TimeSeconds, std::uint64_t>;
        explicit DelayedBlocks(const QElapsedTimer& clock);
        Key add(TimeSeconds at, std::shared_ptr<WorkItem> item);
        void remove(Key key);

    private:
        TimeSeconds now() const;
        void arm();
        void runDue();

        const QElapsedTimer& clock_;
        QTimer timer_;
        std::map<Key, std::shared_ptr<WorkItem>> items_;
        std::uint64_t nextSequence_ = 0;
    };
    class DelayedItem;

    QElapsedTimer clock_;
    QObject context_;
    QThreadPool background_;
    std::shared_ptr<DelayedBlocks> delayed_;
};

} // namespace tidemark::ui
