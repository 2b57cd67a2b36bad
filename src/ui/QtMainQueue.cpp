#include "ui/QtMainQueue.h"

#include <QPointer>
#include <QSocketNotifier>
#include <QThread>
#include <QTimer>
#include <cmath>
#include <limits>

namespace tidemark::ui {
namespace {

// Owns the QTimer; invalidation stops it at once.
class QtRepeatingTimer final : public RepeatingTimer {
public:
    QtRepeatingTimer(TimeSeconds interval, TimeSeconds tolerance, QObject* context,
                     std::function<void()> action)
        : RepeatingTimer(interval, tolerance), timer_(std::make_unique<QTimer>(context)) {
        // A coarse timer may fire up to 5 % of its interval late, which lets the system
        // batch wake-ups the way a timer tolerance does.
        timer_->setTimerType(tolerance > 0 ? Qt::CoarseTimer : Qt::PreciseTimer);
        timer_->setInterval(int(std::lround(interval * 1000)));
        QObject::connect(timer_.get(), &QTimer::timeout, std::move(action));
        timer_->start();
    }
    void invalidate() override {
        RepeatingTimer::invalidate();
        timer_->stop();
    }

private:
    std::unique_ptr<QTimer> timer_;
};

// The notifier is the queue's child, so a watch that outlives the queue ends nothing twice;
// it is deleted later, as its own handler may be what ends the watch.
class QtDescriptorWatch final : public DescriptorWatch {
public:
    explicit QtDescriptorWatch(QSocketNotifier* notifier) : notifier_(notifier) {}
    ~QtDescriptorWatch() override {
        if (notifier_) {
            notifier_->setEnabled(false);
            notifier_->deleteLater();
        }
    }

private:
    QPointer<QSocketNotifier> notifier_;
};

int poolPriority(QualityOfService qos) {
    switch (qos) {
    case QualityOfService::UserInitiated:
        return 2;
    case QualityOfService::Utility:
        return 1;
    case QualityOfService::Background:
        return 0;
    }
    return 0;
}

} // namespace

QtMainQueue::QtMainQueue() : delayed_(std::make_shared<DelayedBlocks>(clock_)) {
    clock_.start();
    // Slow work of the panel (a scan, a quit, sleep) rarely overlaps; two threads keep a
    // user-initiated task from waiting behind a utility one.
    background_.setMaxThreadCount(2);
}

QtMainQueue::~QtMainQueue() {
    finishBackgroundWork();
}

void QtMainQueue::finishBackgroundWork() {
    background_.clear();
    background_.waitForDone();
}

TimeSeconds QtMainQueue::now() const {
    return double(clock_.nsecsElapsed()) / 1e9;
}

void QtMainQueue::async(std::function<void()> block) {
    QMetaObject::invokeMethod(&context_, std::move(block), Qt::QueuedConnection);
}

// Taken off the queue's timer when cancelled on the queue's thread; elsewhere only marked,
// and skipped when due.
class QtMainQueue::DelayedItem final : public WorkItem {
public:
    DelayedItem(std::function<void()> block, std::weak_ptr<DelayedBlocks> blocks, QThread* thread)
        : WorkItem(std::move(block)), blocks_(std::move(blocks)), thread_(thread) {}
    void cancel() override;
    DelayedBlocks::Key key{};

private:
    std::weak_ptr<DelayedBlocks> blocks_;
    QThread* const thread_;
};

QtMainQueue::DelayedBlocks::DelayedBlocks(const QElapsedTimer& clock) : clock_(clock) {
    timer_.setSingleShot(true);
    timer_.setTimerType(Qt::PreciseTimer);
    QObject::connect(&timer_, &QTimer::timeout, [this] { runDue(); });
}

TimeSeconds QtMainQueue::DelayedBlocks::now() const {
    return double(clock_.nsecsElapsed()) / 1e9;
}

QtMainQueue::DelayedBlocks::Key QtMainQueue::DelayedBlocks::add(TimeSeconds at,
                                                                std::shared_ptr<WorkItem> item) {
    const Key key{at, nextSequence_++};
    const bool earliest = items_.empty() || key < items_.begin()->first;
    items_.emplace(key, std::move(item));
    if (earliest)
        arm();
    return key;
}

void QtMainQueue::DelayedBlocks::remove(Key key) {
    const auto it = items_.find(key);
    if (it == items_.end())
        return;
    const bool earliest = it == items_.begin();
    items_.erase(it);
    if (earliest)
        arm();
}

void QtMainQueue::DelayedBlocks::arm() {
    if (items_.empty()) {
        timer_.stop();
        return;
    }
    const double waitMs = std::max(0.0, items_.begin()->first.first - now()) * 1000;
    timer_.start(int(std::min(std::ceil(waitMs), double(std::numeric_limits<int>::max()))));
}

void QtMainQueue::DelayedBlocks::runDue() {
    // A block may add or cancel others: the earliest is looked up afresh each time, and the
    // timer is armed for the rest before each block runs, which may run a nested event loop.
    while (!items_.empty() && items_.begin()->first.first <= now()) {
        auto item = std::move(items_.begin()->second);
        items_.erase(items_.begin());
        arm();
        item->perform();
    }
    arm();
}

void QtMainQueue::DelayedItem::cancel() {
    WorkItem::cancel();
    if (QThread::currentThread() == thread_)
        if (auto blocks = blocks_.lock())
            blocks->remove(key);
}

std::shared_ptr<WorkItem> QtMainQueue::asyncAfter(TimeSeconds delay, std::function<void()> block) {
    auto item = std::make_shared<DelayedItem>(std::move(block), delayed_, context_.thread());
    item->key = delayed_->add(now() + std::max(0.0, delay), item);
    return item;
}

std::shared_ptr<RepeatingTimer> QtMainQueue::scheduleRepeatingTimer(TimeSeconds interval,
                                                                    TimeSeconds tolerance,
                                                                    std::function<void()> action) {
    return std::make_shared<QtRepeatingTimer>(interval, tolerance, &context_, std::move(action));
}

std::unique_ptr<DescriptorWatch> QtMainQueue::watchDescriptor(int descriptor,
                                                              DescriptorCondition condition,
                                                              std::function<void()> ready) {
    auto* notifier =
        new QSocketNotifier(descriptor,
                            condition == DescriptorCondition::Priority ? QSocketNotifier::Exception
                                                                       : QSocketNotifier::Read,
                            &context_);
    QObject::connect(notifier, &QSocketNotifier::activated, notifier,
                     [ready = std::move(ready)] { ready(); });
    return std::make_unique<QtDescriptorWatch>(notifier);
}

void QtMainQueue::runInBackground(QualityOfService qos, std::function<void()> block) {
    background_.start(std::move(block), poolPriority(qos));
}

} // namespace tidemark::ui
