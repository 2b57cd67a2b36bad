#pragma once

#include <QCoreApplication>
#include <QElapsedTimer>
#include <functional>

namespace tidemark::testing {

// Serves Qt's event loop until `done`, or for at most `milliseconds`: a bound for a test
// that would otherwise hang, never the state it waits for.
inline bool serveUntil(const std::function<bool()>& done, int milliseconds = 2000) {
    QElapsedTimer clock;
    clock.start();
    while (!done() && clock.elapsed() < milliseconds)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    return done();
}

} // namespace tidemark::testing
