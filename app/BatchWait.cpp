#include "app/BatchWait.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

namespace mirel {

bool waitUntil(const std::function<bool()>& done, const std::function<double()>& progress)
{
    QEventLoop loop;
    QTimer watch;
    QElapsedTimer sinceProgress;
    sinceProgress.start();
    double seen = progress();
    bool stalled = false;
    QObject::connect(&watch, &QTimer::timeout, &loop, [&] {
        if (done())
            return loop.quit();
        if (progress() != seen) {
            seen = progress();
            sinceProgress.restart();
        } else if (sinceProgress.elapsed() > StallMs) {
            stalled = true;
            loop.quit();
        }
    });
    watch.start(5);
    loop.exec();
    return !stalled;
}

}  // namespace mirel
