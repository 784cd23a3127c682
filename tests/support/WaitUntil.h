#pragma once
// Runs the event loop until a condition holds or a time is up, for tests that wait on a thread, a
// device or a timer of the program.

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>
#include <functional>

namespace mirel::test {

// True as soon as `done` holds; false when it still does not after `ms` milliseconds.
inline bool waitUntil(const std::function<bool()>& done, int ms)
{
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() > ms)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(2);
    }
    return true;
}

}  // namespace mirel::test
