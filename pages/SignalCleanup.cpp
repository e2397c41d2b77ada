#include "pages/SignalCleanup.h"

#include <atomic>
#include <csignal>
#include <cstring>

#include <limits.h>
#include <unistd.h>

namespace {

// The handler reads these while the program may be changing them, so a
// slot is filled before it is marked used and unmarked before it is
// emptied; the handler uses only async-signal-safe calls.
struct Slot {
    std::atomic<bool> used{false};
    char path[PATH_MAX] = {};
};

constexpr int slotCount = 4;
Slot slots[slotCount];

extern "C" void removeAndReraise(int signal)
{
    for (Slot& slot : slots)
        if (slot.used.load()) {
            if (unlink(slot.path) != 0)
                rmdir(slot.path);
        }
    std::signal(signal, SIG_DFL);
    std::raise(signal);
}

} // namespace

namespace SignalCleanup {

void install()
{
    struct sigaction action = {};
    action.sa_handler = removeAndReraise;
    sigemptyset(&action.sa_mask);
    for (int signal : {SIGINT, SIGTERM, SIGHUP})
        sigaction(signal, &action, nullptr);
}

bool add(const char* path)
{
    if (std::strlen(path) >= PATH_MAX)
        return false;
    for (Slot& slot : slots) {
        if (slot.used.load())
            continue;
        std::strcpy(slot.path, path);
        slot.used.store(true);
        return true;
    }
    return false;
}

void remove(const char* path)
{
    for (Slot& slot : slots)
        if (slot.used.load() && std::strcmp(slot.path, path) == 0)
            slot.used.store(false);
}

} // namespace SignalCleanup
