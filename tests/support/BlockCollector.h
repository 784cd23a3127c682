#pragma once
// Stands in for an instrument window in capture tests and benchmarks: keeps a copy of every block of
// the current capture, and the frames lost before it, and gives the buffer back (at once, or after
// `holdMs` as a slow window would); then hands the copy to `onBlock`, as the statistics window
// processes a block after the buffer went back.

#include "capture/TWaveRecorder.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QObject>
#include <QThread>
#include <functional>
#include <vector>

namespace mirel::test {

class BlockCollector : public QObject {
public:
    explicit BlockCollector(TWaveRecorder& recorder) : recorder_(recorder) {}

    std::uint8_t* buffer = nullptr;  // the owner's slot
    std::vector<std::vector<std::uint8_t>> blocks;
    std::vector<std::int64_t> lostBefore;
    int holdMs = 0;
    std::function<void(const std::vector<std::uint8_t>& block)> onBlock;

    bool event(QEvent* e) override
    {
        if (e->type() != WimDataEvent::eventType())
            return QObject::event(e);
        auto& message = static_cast<WimDataEvent&>(*e);
        if (!recorder_.IsCurrent(message))
            return true;
        if (buffer) {
            blocks.emplace_back(buffer, buffer + message.header->bytesRecorded);
            lostBefore.push_back(message.header->framesLostBefore);
        }
        if (holdMs > 0)
            QThread::msleep(static_cast<unsigned long>(holdMs));
        recorder_.BufferDone(message);
        if (onBlock && buffer)
            onBlock(blocks.back());
        return true;
    }

    // Runs the event loop until `count` blocks are in, or `timeoutMs` has passed.
    bool waitForBlocks(size_t count, int timeoutMs)
    {
        QElapsedTimer timer;
        timer.start();
        while (blocks.size() < count && timer.elapsed() < timeoutMs)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        return blocks.size() >= count;
    }

private:
    TWaveRecorder& recorder_;
};

}  // namespace mirel::test
