// A fixed table of temporary paths that a signal handler may read at any moment.
#include "io/temporary_files.h"

#include <atomic>
#include <climits>
#include <csignal>
#include <cstring>
#include <unistd.h>

namespace vorticel {
namespace {

// A slot is free, being filled, or armed (its path may be removed by the handler).
enum SlotState : int { kFree = 0, kFilling = 1, kArmed = 2 };

struct Slot {
    std::atomic<int> state{kFree};
    char path[PATH_MAX] = {};
};

// The one table of the process: a signal handler can reach nothing else. Writes of a
// few files at a time are all the program does.
constexpr int kSlotCount = 8;
Slot slots[kSlotCount];

static_assert(std::atomic<int>::is_always_lock_free, "the handler needs lock-free atomics");

extern "C" void RemoveTemporariesAndDie(int signalNumber) {
    RemoveRegisteredTemporaries();
    // SA_RESETHAND restored the default action: raised again, the signal ends the process
    // with the status the caller expects.
    std::raise(signalNumber);
}

} // namespace

RegisteredTemporary::RegisteredTemporary(const std::string& path) {
    if (path.size() >= PATH_MAX) {
        return;
    }
    for (int i = 0; i < kSlotCount; ++i) {
        int expected = kFree;
        if (slots[i].state.compare_exchange_strong(expected, kFilling)) {
            std::memcpy(slots[i].path, path.c_str(), path.size() + 1);
            slots[i].state.store(kArmed);
            slot_ = i;
            return;
        }
    }
}

RegisteredTemporary::~RegisteredTemporary() {
    if (slot_ >= 0) {
        slots[slot_].state.store(kFree);
    }
}

void RemoveRegisteredTemporaries() {
    for (Slot& slot : slots) {
        if (slot.state.load() == kArmed) {
            unlink(slot.path);
        }
    }
}

void RemoveTemporariesOnSignals() {
    for (const int signalNumber : {SIGINT, SIGTERM, SIGHUP}) {
        struct sigaction previous {};
        if (sigaction(signalNumber, nullptr, &previous) != 0 || previous.sa_handler == SIG_IGN) {
            continue;
        }
        struct sigaction action {};
        action.sa_handler = RemoveTemporariesAndDie;
        sigemptyset(&action.sa_mask);
        action.sa_flags = SA_RESETHAND;
        sigaction(signalNumber, &action, nullptr);
    }
}

} // namespace vorticel
