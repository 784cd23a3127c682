#include "capture/AudioNoise.h"

#include <QString>
#include <QtGlobal>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <mutex>

#if defined(MIREL_HAVE_ALSA)
#include <alsa/asoundlib.h>
#endif

namespace mirel {

namespace {

#if defined(MIREL_HAVE_ALSA)
void silentAlsaHandler(const char*, int, const char*, int, const char*, ...) {}
#endif

#if defined(__GLIBC__)
// The terminal's stream, kept for the program's own messages once `stderr` points elsewhere.
std::FILE* terminal = nullptr;
std::terminate_handler previousTerminate = nullptr;

void toTerminal(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    std::fprintf(terminal, "%s\n", qPrintable(qFormatLogMessage(type, context, message)));
    std::fflush(terminal);
}

void terminateAloud()
{
    stderr = terminal;  // the reason for the end is ours to show
    if (previousTerminate)
        previousTerminate();
    std::abort();
}

// The libraries write with fprintf(stderr, ...) at the moment something happens, from whatever
// thread: only the stream itself can be redirected. It becomes /dev/null; file descriptor 2 and
// the streams bound to it earlier (std::cerr) stay with the terminal.
void divertLibraryStderr()
{
    std::FILE* nowhere = std::fopen("/dev/null", "w");
    if (!nowhere)
        return;
    terminal = stderr;
    qInstallMessageHandler(&toTerminal);
    previousTerminate = std::set_terminate(&terminateAloud);
    stderr = nowhere;
}
#endif

}  // namespace

void quietAudioLibraries()
{
    static std::once_flag once;
    std::call_once(once, [] {
#if defined(MIREL_HAVE_ALSA)
        snd_lib_error_set_handler(&silentAlsaHandler);
#endif
#if defined(__unix__) || defined(__APPLE__)
        // A JACK server started behind the user's back would grab the sound card; use one only
        // when it already runs. Overwrite = 0: a user's own choice stands.
        setenv("JACK_NO_START_SERVER", "1", 0);
#endif
#if defined(__GLIBC__)
        divertLibraryStderr();
#endif
    });
}

}  // namespace mirel
