#pragma once

#include "foundation/MainQueue.h"

#include <QElapsedTimer>
#include <QObject>

namespace tidemark::ui {

// The main queue over Qt's event loop; background work runs on Qt's global thread pool.
class QtMainQueue final : public MainQueue {
public:
    QtMainQueue();

    TimeSeconds now() const override;
    void async(std::function<void()> block) override;
    std::shared_ptr<WorkItem> asyncAfter(TimeSeconds delay, std::function<void()> block) override;
    std::shared_ptr<RepeatingTimer> scheduleRepeatingTimer(TimeSeconds interval,
                                                           TimeSeconds tolerance,
                                                           std::function<void()> action) override;
    void runInBackground(QualityOfService qos, std::function<void()> block) override;

private:
    QElapsedTimer clock_;
    QObject context_;
};

} // namespace tidemark::ui
