#pragma once
// Catches what reaches the process's stderr (file descriptor 2) while it lives, to check that the
// terminal stays quiet. POSIX only.

#include <cstdio>
#include <string>
#include <unistd.h>

namespace mirel::test {

class StderrCapture {
public:
    StderrCapture() : sink_(std::tmpfile())
    {
        std::fflush(stderr);
        saved_ = dup(2);
        if (sink_ && saved_ >= 0)
            dup2(fileno(sink_), 2);
    }
    ~StderrCapture()
    {
        restore();
        if (sink_)
            std::fclose(sink_);
    }
    StderrCapture(const StderrCapture&) = delete;
    StderrCapture& operator=(const StderrCapture&) = delete;

    bool active() const { return sink_ && saved_ >= 0; }

    // Ends the capture and returns everything written meanwhile.
    std::string text()
    {
        restore();
        std::string printed;
        if (!sink_)
            return printed;
        std::rewind(sink_);
        for (int c; (c = std::fgetc(sink_)) != EOF;)
            printed += static_cast<char>(c);
        return printed;
    }

private:
    void restore()
    {
        if (saved_ < 0)
            return;
        std::fflush(stderr);
        dup2(saved_, 2);
        close(saved_);
        saved_ = -1;
    }

    std::FILE* sink_;
    int saved_ = -1;
};

}  // namespace mirel::test
