// Temporary files that are being written: known to a signal handler so that an interrupted
// program leaves none of them behind, and named so that one a killed process left (SIGKILL, a
// power cut) is known for stale and swept by the next save in its folder.
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

// Makes a write past the file size limit (ulimit -f) fail with EFBIG, which a save reports as
// any failed write (the old file kept, the temporary removed), instead of SIGXFSZ ending the
// process in the middle of it. For both programs' main.
void ReportFileSizeLimitAsWriteError();

// The start of this process's temporary file names in `folder`, to which six characters of
// its own are added: "FOLDER/.vorticel-HOST-BOOT-PID-" (BOOT: the start of the system's boot
// id, so that a name from before a restart is known whatever process has its number now).
std::string TemporaryNamePrefix(const std::string& folder);

// Removes the temporary files in `folder` that a process of this machine left and that no
// running process writes: from an earlier boot, or of a process number no process has.
// Names of other machines, of running processes, or of any other form are left alone.
void SweepStaleTemporaries(const std::string& folder);

} // namespace vorticel
