#include "ui/QtMainQueue.h"

#include <QPointer>
#include <QThread>
#include <QTimer>
#include <cmath>

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

// A delayed block on a timer of its own, which holds the item until it fires or a cancel on
// the queue's thread stops it: a cancelled refresh wakes nobody.
class QtWorkItem final : public WorkItem {
public:
    static std::shared_ptr<QtWorkItem> start(std::function<void()> block, QObject* context,
                                             int ms) {
        auto item = std::make_shared<QtWorkItem>(std::move(block), context->thread());
        item->timer_ = new QTimer(context);
        item->timer_->setSingleShot(true);
        item->timer_->setTimerType(Qt::PreciseTimer);
        QObject::connect(item->timer_.get(), &QTimer::timeout, [item] {
            item->stop();
            item->perform();
        });
        item->timer_->start(ms);
        return item;
    }
    QtWorkItem(std::function<void()> block, QThread* queueThread)
        : WorkItem(std::move(block)), queueThread_(queueThread) {}

    // Elsewhere than on the queue's thread the item is only marked, and skipped when it fires.
    void cancel() override {
        WorkItem::cancel();
        if (QThread::currentThread() == queueThread_)
            stop();
    }

private:
    void stop() {
        if (timer_)
            timer_->deleteLater();
        timer_.clear();
    }

    QThread* const queueThread_;
    QPointer<QTimer> timer_;
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

QtMainQueue::QtMainQueue() {
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

std::shared_ptr<WorkItem> QtMainQueue::asyncAfter(TimeSeconds delay, std::function<void()> block) {
    return QtWorkItem::start(std::move(block), &context_,
                             int(std::lround(std::max(0.0, delay) * 1000)));
}

std::shared_ptr<RepeatingTimer> QtMainQueue::scheduleRepeatingTimer(TimeSeconds interval,
                                                                    TimeSeconds tolerance,
                                                                    std::function<void()> action) {
    return std::make_shared<QtRepeatingTimer>(interval, tolerance, &context_, std::move(action));
}

void QtMainQueue::runInBackground(QualityOfService qos, std::function<void()> block) {
    background_.start(std::move(block), poolPriority(qos));
}

} // namespace tidemark::ui
