#pragma once
// Stands in for an instrument window in capture tests: keeps a copy of every block of the current
// capture and gives the buffer back at once.

#include "TWaveRecorder.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QObject>
#include <vector>

namespace mirel::test {

class BlockCollector : public QObject {
public:
    explicit BlockCollector(TWaveRecorder& recorder) : recorder_(recorder) {}

    std::uint8_t* buffer = nullptr;  // the owner's slot
    std::vector<std::vector<std::uint8_t>> blocks;

    bool event(QEvent* e) override
    {
        if (e->type() != WimDataEvent::eventType())
            return QObject::event(e);
        auto& message = static_cast<WimDataEvent&>(*e);
        if (!recorder_.IsCurrent(message))
            return true;
        if (buffer)
            blocks.emplace_back(buffer, buffer + message.header->bytesRecorded);
        recorder_.BufferDone(message);
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
