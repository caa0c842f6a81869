// Temporary files that are being written, known to a signal handler so that an interrupted
// program leaves none of them behind.
#pragma once

#include <string>

namespace vorticel {

// Registers `path` for removal on a terminating signal while the object lives. A path that
// cannot be registered (too long, too many at once) is only left to the normal cleanup.
class RegisteredTemporary {
public:
    explicit RegisteredTemporary(const std::string& path);
    ~RegisteredTemporary();
    RegisteredTemporary(const RegisteredTemporary&) = delete;
    RegisteredTemporary& operator=(const RegisteredTemporary&) = delete;

    bool registered() const { return slot_ >= 0; }

private:
    int slot_ = -1;
};

// Removes every registered temporary file. Async-signal-safe.
void RemoveRegisteredTemporaries();

// Makes SIGINT, SIGTERM and SIGHUP remove the registered temporary files before the process
// ends as the signal would have ended it. A signal the process inherited as ignored stays
// ignored. For programs without an event loop of their own (the command-line tool).
void RemoveTemporariesOnSignals();

} // namespace vorticel
