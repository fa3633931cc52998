#include "interrupt.h"

#include <algorithm>
#include <climits>
#include <csignal>
#include <cstring>

#include <unistd.h>

namespace lorvaxen::tool {
namespace {

// Written only with both signals blocked, read by the handler.
char temporaryPath[PATH_MAX + 1];
volatile sig_atomic_t haveTemporary = 0;

extern "C" void onInterrupt(int signal)
{
    if (haveTemporary != 0) {
        unlink(temporaryPath);
    }
    _exit(128 + signal);
}

sigset_t interruptions()
{
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, SIGINT);
    sigaddset(&set, SIGTERM);
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
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
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
