#pragma once
// An audio file read in a loop as two channels of float samples at a chosen rate: sample for
// sample at the file's own rate, converted by libsoxr (very high quality) at any other.

#include <memory>
#include <string>

namespace mirel {

class FileStream {
public:
    // Opens `path` for playing at `rate`. On failure returns nullptr and the reason in `error`.
    static std::unique_ptr<FileStream> open(const std::string& path, int rate, std::string& error);

    virtual ~FileStream() = default;

    // Writes the next `count` frames to `out`, channel A and B interleaved, 1.0 = full scale.
    // Allocates nothing: what a conversion needs is allocated at the opening. The last frame of
    // the file is followed by the first, and a conversion runs across that seam unbroken.
    virtual void read(float* out, int count) = 0;

    virtual bool converting() const = 0;
};

}  // namespace mirel
