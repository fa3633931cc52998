#include "interrupt.h"

#include <algorithm>
#include <climits>
#include <csignal>
#include <cstring>

#include <unistd.h>

namespace lorvaxen::tool {
namespace {

// Written only with the signals blocked, read by the handler.
char temporaryPath[PATH_MAX + 1];
volatile sig_atomic_t haveTemporary = 0;

extern "C" void onInterrupt(int signal)
{
    if (haveTemporary != 0) {
        unlink(temporaryPath);
    }
    _exit(128 + signal);
}

// A hang-up, as when the terminal of a batch is closed, ends the tool like the others.
constexpr int kInterruptions[] = {SIGINT, SIGTERM, SIGHUP};

sigset_t interruptions()
{
    sigset_t set;
    sigemptyset(&set);
    for (const int signal : kInterruptions) {
        sigaddset(&set, signal);
    }
    return set;
}

void block(int how)
{
    const sigset_t set = interruptions();
    sigprocmask(how, &set, nullptr);
}

} // namespace

void installInterruptHandlers()
{
    struct sigaction action
    {
    };
    action.sa_handler = onInterrupt;
    action.sa_mask = interruptions();
    for (const int signal : kInterruptions) {
        // A signal the tool was started ignoring stays ignored: nohup's SIGHUP, a background
        // job's SIGINT.
        struct sigaction earlier
        {
        };
        if (sigaction(signal, nullptr, &earlier) == 0 && earlier.sa_handler == SIG_IGN) {
            continue;
        }
        sigaction(signal, &action, nullptr);
    }
}

void registerTemporary(const std::string& path)
{
    const std::size_t length = std::min(path.size(), sizeof temporaryPath - 1);
    std::memcpy(temporaryPath, path.data(), length);
    temporaryPath[length] = '\0';
    haveTemporary = length == path.size() ? 1 : 0;
}

void forgetTemporary()
{
    haveTemporary = 0;
}

void holdInterruptions()
{
    block(SIG_BLOCK);
}

void releaseInterruptions()
{
    block(SIG_UNBLOCK);
}

} // namespace lorvaxen::tool
