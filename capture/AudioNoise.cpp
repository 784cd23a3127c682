#include "AudioNoise.h"

#include <cstdio>
#include <cstdlib>

#if defined(MIREL_HAVE_ALSA)
#include <alsa/asoundlib.h>
#endif

#if defined(__unix__) || defined(__APPLE__)
#define MIREL_POSIX_FDS 1
#include <fcntl.h>
#include <unistd.h>
#endif

namespace mirel {

namespace {

#if defined(MIREL_HAVE_ALSA)
void silentAlsaHandler(const char*, int, const char*, int, const char*, ...) {}
#endif

}  // namespace

void quietAudioLibraries()
{
#if defined(MIREL_HAVE_ALSA)
    snd_lib_error_set_handler(&silentAlsaHandler);
#endif
#if defined(MIREL_POSIX_FDS)
    // A JACK server started behind the user's back would grab the sound card; use one only when
    // it already runs. Overwrite = 0: a user's own choice stands.
    setenv("JACK_NO_START_SERVER", "1", 0);
#endif
}

StderrMuted::StderrMuted()
{
#if defined(MIREL_POSIX_FDS)
    std::fflush(stderr);
    const int devNull = ::open("/dev/null", O_WRONLY | O_CLOEXEC);
    if (devNull < 0)
        return;
    saved_ = ::fcntl(2, F_DUPFD_CLOEXEC, 3);
    if (saved_ >= 0 && ::dup2(devNull, 2) < 0) {
        ::close(saved_);
        saved_ = -1;
    }
    ::close(devNull);
#endif
}

StderrMuted::~StderrMuted()
{
#if defined(MIREL_POSIX_FDS)
    if (saved_ < 0)
        return;
    std::fflush(stderr);
    ::dup2(saved_, 2);
    ::close(saved_);
#endif
}

}  // namespace mirel
