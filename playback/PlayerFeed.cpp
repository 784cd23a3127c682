// The output's samples: rendering in pieces, the crossfade to a new source, and the hand-over of
// sources between the UI thread and the audio thread through two atomic slots.
#include "playback/PlayerFeed.h"

#include <algorithm>
#include <cmath>

namespace mirel {

namespace {

// The callback and the UI thread meet only in these, which must not take a lock.
static_assert(std::atomic<StereoSource*>::is_always_lock_free && std::atomic<std::int64_t>::is_always_lock_free);

float toSample(double volts)
{
    if (std::isnan(volts))
        return 0.0f;
    return static_cast<float>(std::clamp(volts, -1.0, 1.0));
}

}  // namespace

PlayerFeed::PlayerFeed(std::unique_ptr<StereoSource> first) : current_(first.release()) {}

PlayerFeed::~PlayerFeed()
{
    delete current_;
    delete incoming_.exchange(nullptr);
    for (auto& slot : retired_)
        delete slot.exchange(nullptr);
}

void PlayerFeed::render(float* interleaved, int count)
{
    // A new source is taken only when a retired slot is empty: only this thread fills one, so it
    // stays empty for the source this block replaces.
    StereoSource* fading = nullptr;
    std::atomic<StereoSource*>* bin = nullptr;
    for (auto& slot : retired_)
        if (!bin && !slot.load(std::memory_order_acquire))
            bin = &slot;
    if (bin) {
        if (StereoSource* next = incoming_.exchange(nullptr, std::memory_order_acq_rel)) {
            fading = current_;
            current_ = next;
        }
    }
    for (int done = 0; done < count;) {
        const int n = std::min(count - done, ScratchFrames);
        current_->render(frame_ + done, n, fresh_.data());
        if (fading) {
            fading->render(frame_ + done, n, old_.data());
            for (int i = 0; i < n; ++i) {
                const double gain = static_cast<double>(done + i + 1) / count;
                for (int at = 2 * i; at < 2 * i + 2; ++at)
                    fresh_[at] = old_[at] + gain * (fresh_[at] - old_[at]);
            }
        }
        float* out = interleaved + 2 * done;
        for (int i = 0; i < 2 * n; ++i)
            out[i] = toSample(fresh_[i]);
        done += n;
    }
    frame_ += count;
    if (fading)
        bin->store(fading, std::memory_order_release);
    frames_.store(frame_, std::memory_order_release);
}

void PlayerFeed::offer(std::unique_ptr<StereoSource> next)
{
    // Offered first, then the slots emptied: a block under way when they are emptied retires into
    // one of them at most, and the next block finds the other free.
    delete incoming_.exchange(next.release(), std::memory_order_acq_rel);
    for (auto& slot : retired_)
        delete slot.exchange(nullptr, std::memory_order_acq_rel);
}

}  // namespace mirel
