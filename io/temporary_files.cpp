// A fixed table of temporary paths that a signal handler may read at any moment, and names that
// say which process of which machine and boot wrote them.
#include "io/temporary_files.h"

#include <atomic>
#include <cctype>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <fstream>
#include <memory>
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

constexpr std::string_view kTemporaryStart = ".vorticel-";
constexpr std::size_t kBootIdChars = 8;
constexpr std::size_t kUniqueChars = 6; // as mkstemp's XXXXXX

// The host name as it may stand in a file name: a character that could not becomes "_".
std::string HostPart() {
    char name[256] = {};
    if (gethostname(name, sizeof name - 1) != 0 || name[0] == '\0') {
        return "localhost";
    }
    std::string host(name);
    for (char& c : host) {
        const bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
                           (c >= '0' && c <= '9') || c == '.' || c == '_';
        c = plain ? c : '_';
    }
    return host;
}

// The first characters of the boot id the kernel draws at each start ("0" without /proc).
std::string BootPart() {
    std::string id;
    std::getline(std::ifstream("/proc/sys/kernel/random/boot_id"), id);
    id = id.substr(0, kBootIdChars);
    for (const char c : id) {
        if (!std::isxdigit(static_cast<unsigned char>(c))) {
            return "0";
        }
    }
    return id.empty() ? "0" : id;
}

// Whether `name` is a temporary file of this machine that no running process writes.
bool IsStale(const std::string& name, const std::string& start, const std::string& boot) {
    if (name.compare(0, start.size(), start) != 0) {
        return false;
    }
    // What follows the host: BOOT-PID-XXXXXX.
    const std::string rest = name.substr(start.size());
    const std::size_t dash = rest.find('-');
    const std::size_t last = rest.rfind('-');
    if (dash == std::string::npos || last == dash || rest.size() - last - 1 != kUniqueChars) {
        return false;
    }
    const std::string pid = rest.substr(dash + 1, last - dash - 1);
    if (pid.empty() || pid.size() > 9 || pid.find_first_not_of("0123456789") != std::string::npos) {
        return false;
    }
    if (rest.compare(0, dash, boot) != 0) {
        return true; // written before the system last started
    }
    const auto number = static_cast<pid_t>(std::stol(pid));
    return number > 0 && kill(number, 0) != 0 && errno == ESRCH;
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

void ReportFileSizeLimitAsWriteError() {
    std::signal(SIGXFSZ, SIG_IGN);
}

std::string TemporaryNamePrefix(const std::string& folder) {
    return folder + "/" + std::string(kTemporaryStart) + HostPart() + "-" + BootPart() + "-" +
           std::to_string(getpid()) + "-";
}

void SweepStaleTemporaries(const std::string& folder) {
    const std::unique_ptr<DIR, int (*)(DIR*)> dir(opendir(folder.c_str()), closedir);
    if (!dir) {
        return; // the save itself reports a folder it cannot use
    }
    const std::string start = std::string(kTemporaryStart) + HostPart() + "-";
    const std::string boot = BootPart();
    while (const dirent* entry = readdir(dir.get())) {
        if (IsStale(entry->d_name, start, boot)) {
            unlinkat(dirfd(dir.get()), entry->d_name, 0);
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
