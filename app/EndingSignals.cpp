// The handler of the signals that end a headless run: async-signal-safe calls only.
#include "app/EndingSignals.h"

#include "common/AtomicFile.h"

#include <csignal>
#include <cstring>
#include <unistd.h>

namespace mirel {

namespace {

struct Ending {
    int Signal;
    const char* Message;
};
constexpr Ending Endings[] = {{SIGINT, "mirel: прервано (SIGINT); измерение прекращено\n"},
                              {SIGTERM, "mirel: остановлено (SIGTERM); измерение прекращено\n"},
                              {SIGHUP, "mirel: обрыв связи (SIGHUP); измерение прекращено\n"}};

extern "C" void endRun(int signal)
{
    // The program ends here, whatever thread was interrupted.
    RemoveTemporaryFiles();
    for (const Ending& ending : Endings)
        if (ending.Signal == signal && ::write(STDERR_FILENO, ending.Message, std::strlen(ending.Message)) < 0)
            break;
    ::_exit(128 + signal);
}

volatile std::sig_atomic_t stopAsked = 0;

extern "C" void askStop(int)
{
    stopAsked = 1;
}

void catchSignals(void (*handler)(int))
{
    struct sigaction action {};
    action.sa_handler = handler;
    sigemptyset(&action.sa_mask);
    for (const Ending& ending : Endings)
        sigaddset(&action.sa_mask, ending.Signal);
    for (const Ending& ending : Endings) {
        struct sigaction current {};
        if (::sigaction(ending.Signal, nullptr, &current) == 0 && current.sa_handler != SIG_IGN)
            ::sigaction(ending.Signal, &action, nullptr);
    }
}

}  // namespace

void CatchEndingSignals()
{
    catchSignals(endRun);
}

void CatchStopSignals()
{
    catchSignals(askStop);
}

bool StopRequested()
{
    return stopAsked != 0;
}

}  // namespace mirel
