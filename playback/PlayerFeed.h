#pragma once
// What the output's audio callback does, apart from the sound library: renders the current signal
// into float frames and fades a signal handed over by the UI thread in across one block. The
// callback side allocates nothing, takes no lock and makes no system call.

#include "capture/SignalSource.h"

#include <array>
#include <atomic>
#include <cstdint>
#include <memory>
#include <vector>

namespace mirel {

class PlayerFeed {
public:
    // Frames rendered at a time; a longer block is rendered in pieces of this size.
    static constexpr int ScratchFrames = 2048;

    explicit PlayerFeed(std::unique_ptr<StereoSource> first);
    ~PlayerFeed();  // once the callback is done with it
    PlayerFeed(const PlayerFeed&) = delete;
    PlayerFeed& operator=(const PlayerFeed&) = delete;

    // Audio thread: the next `count` frames, A and B interleaved, in full-scale units clipped to
    // ±1 (NaN is silence). A source offered since the last block is faded in linearly across this
    // one, whose last frame is all new; the frames continue across the change.
    void render(float* interleaved, int count);

    // UI thread: plays `next` from the next block on. A source offered before and not yet taken is
    // dropped; those the callback replaced are deleted here.
    void offer(std::unique_ptr<StereoSource> next);
    // Frames rendered so far, from any thread.
    std::int64_t frames() const { return frames_.load(std::memory_order_acquire); }

private:
    // Owned by the audio thread.
    StereoSource* current_;
    std::int64_t frame_ = 0;
    std::vector<double> fresh_ = std::vector<double>(2 * ScratchFrames);
    std::vector<double> old_ = std::vector<double>(2 * ScratchFrames);
    // Where the two threads meet.
    std::atomic<StereoSource*> incoming_{nullptr};
    // Two, so that a source offered while a block takes the one before it is taken by the next
    // block, although that block's retiree comes after the offer has emptied the slots.
    std::array<std::atomic<StereoSource*>, 2> retired_{};
    std::atomic<std::int64_t> frames_{0};
};

}  // namespace mirel
