// How much memory a render may take: what the system says is available, within the limit of
// the process's memory control group.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace vorticel {

// The whole text of a (small, virtual) file; nullopt when it cannot be read.
using ReadSystemFile = std::function<std::optional<std::string>(const std::string& path)>;

// The lower of MemAvailable in /proc/meminfo (MemFree where the kernel lacks it) and the
// memory limit of the process's control group: memory.max (version 2) or
// memory.limit_in_bytes (version 1) of the group /proc/self/cgroup names and of each group
// above it, under /sys/fs/cgroup. 0 when neither can be told. Files are read through `read`.
std::int64_t AvailableMemoryBytes(const ReadSystemFile& read);
// The same on this machine's files.
std::int64_t AvailableMemoryBytes();

} // namespace vorticel
