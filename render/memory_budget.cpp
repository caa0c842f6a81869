// The memory budget of a render from /proc and /sys/fs/cgroup.
#include "render/memory_budget.h"

#include "io/file_error.h"
#include "io/read_file.h"

#include <algorithm>
#include <charconv>
#include <limits>
#include <string_view>
#include <vector>

namespace vorticel {
namespace {

constexpr std::size_t kMaxSystemFileBytes = 1 << 20;

std::string_view Trimmed(std::string_view s) {
    const std::size_t first = s.find_first_not_of(" \t\n");
    if (first == std::string_view::npos) {
        return {};
    }
    return s.substr(first, s.find_last_not_of(" \t\n") - first + 1);
}

std::optional<std::int64_t> Number(std::string_view text) {
    std::int64_t v = 0;
    const char* end = text.data() + text.size();
    const auto [ptr, error] = std::from_chars(text.data(), end, v);
    if (error != std::errc{} || ptr != end || text.empty() || v < 0) {
        return std::nullopt;
    }
    return v;
}

// "Key:   123 kB" of /proc/meminfo, in bytes.
std::optional<std::int64_t> MeminfoBytes(std::string_view meminfo, std::string_view key) {
    while (!meminfo.empty()) {
        const std::size_t feed = meminfo.find('\n');
        std::string_view line = meminfo.substr(0, feed);
        meminfo.remove_prefix(feed == std::string_view::npos ? meminfo.size() : feed + 1);
        if (line.size() > key.size() && line.substr(0, key.size()) == key &&
            line[key.size()] == ':') {
            line = Trimmed(line.substr(key.size() + 1));
            const bool kilobytes = line.size() > 3 && line.substr(line.size() - 3) == " kB";
            const std::optional<std::int64_t> v =
                Number(Trimmed(kilobytes ? line.substr(0, line.size() - 3) : line));
            if (v && *v <= std::numeric_limits<std::int64_t>::max() / 1024) {
                return kilobytes ? *v * 1024 : *v;
            }
            return std::nullopt;
        }
    }
    return std::nullopt;
}

// The limit files of a group and of each group above it: "/a/b" gives ROOT/a/b/FILE,
// ROOT/a/FILE and ROOT/FILE.
std::vector<std::string> LimitFiles(std::string_view root, std::string group,
                                    std::string_view file) {
    std::vector<std::string> files;
    while (!group.empty() && group.back() == '/') {
        group.pop_back();
    }
    for (;;) {
        files.push_back(std::string(root) + group + "/" + std::string(file));
        const std::size_t slash = group.rfind('/');
        if (slash == std::string::npos) {
            break;
        }
        group.erase(slash);
    }
    return files;
}

// The files that may hold a memory limit of this process, from /proc/self/cgroup lines
// "0::/path" (version 2) and "N:...memory...:/path" (version 1).
std::vector<std::string> CgroupLimitFiles(std::string_view cgroups) {
    std::vector<std::string> files;
    while (!cgroups.empty()) {
        const std::size_t feed = cgroups.find('\n');
        const std::string_view line = cgroups.substr(0, feed);
        cgroups.remove_prefix(feed == std::string_view::npos ? cgroups.size() : feed + 1);
        const std::size_t first = line.find(':');
        const std::size_t second =
            first == std::string_view::npos ? first : line.find(':', first + 1);
        if (second == std::string_view::npos) {
            continue;
        }
        const std::string_view controllers = line.substr(first + 1, second - first - 1);
        const std::string group(line.substr(second + 1));
        std::vector<std::string> more;
        if (line.substr(0, first) == "0" && controllers.empty()) {
            more = LimitFiles("/sys/fs/cgroup", group, "memory.max");
        } else if (("," + std::string(controllers) + ",").find(",memory,") != std::string::npos) {
            more = LimitFiles("/sys/fs/cgroup/memory", group, "memory.limit_in_bytes");
        }
        files.insert(files.end(), more.begin(), more.end());
    }
    // Where /proc/self/cgroup cannot be read, the roots as a container shows them.
    if (files.empty()) {
        files = {"/sys/fs/cgroup/memory.max", "/sys/fs/cgroup/memory/memory.limit_in_bytes"};
    }
    return files;
}

} // namespace

std::int64_t AvailableMemoryBytes(const ReadSystemFile& read) {
    std::int64_t budget = std::numeric_limits<std::int64_t>::max();
    bool known = false;
    const auto lower = [&](std::optional<std::int64_t> v) {
        if (v) {
            budget = std::min(budget, *v);
            known = true;
        }
    };
    if (const std::optional<std::string> meminfo = read("/proc/meminfo")) {
        std::optional<std::int64_t> available = MeminfoBytes(*meminfo, "MemAvailable");
        lower(available ? available : MeminfoBytes(*meminfo, "MemFree"));
    }
    const std::optional<std::string> cgroups = read("/proc/self/cgroup");
    for (const std::string& file : CgroupLimitFiles(cgroups ? *cgroups : std::string())) {
        if (const std::optional<std::string> limit = read(file)) {
            lower(Number(Trimmed(*limit))); // "max": no limit
        }
    }
    return known ? budget : 0;
}

std::int64_t AvailableMemoryBytes() {
    return AvailableMemoryBytes([](const std::string& path) -> std::optional<std::string> {
        try {
            return ReadRegularFile(path, kMaxSystemFileBytes);
        } catch (const FileError&) {
            return std::nullopt;
        }
    });
}

} // namespace vorticel
