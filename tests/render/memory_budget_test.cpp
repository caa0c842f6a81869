// The memory budget: available memory within the control group's limit, from files given,
// and the worker counts it refuses.
#include "render/memory_budget.h"
#include "render/render_run.h"

#include <gtest/gtest.h>
#include <map>

namespace vorticel {
namespace {

std::int64_t BudgetOf(const std::map<std::string, std::string>& files) {
    return AvailableMemoryBytes([&files](const std::string& path) -> std::optional<std::string> {
        const auto it = files.find(path);
        return it == files.end() ? std::nullopt : std::optional<std::string>(it->second);
    });
}

TEST(AvailableMemoryBytes, TakesTheLowerOfAvailableMemoryAndEveryGroupLimitAbove) {
    const std::string meminfo = "MemTotal:       24683752 kB\nMemFree:         2000000 kB\n"
                                "MemAvailable:    8000000 kB\nBuffers:           12 kB\n";
    EXPECT_EQ(BudgetOf({{"/proc/meminfo", meminfo}}), 8000000LL * 1024);
    // Version 2: the group's own "max", a lower limit on its parent.
    EXPECT_EQ(BudgetOf({{"/proc/meminfo", meminfo},
                        {"/proc/self/cgroup", "0::/user.slice/app\n"},
                        {"/sys/fs/cgroup/user.slice/app/memory.max", "max\n"},
                        {"/sys/fs/cgroup/user.slice/memory.max", "2147483648\n"}}),
              2147483648LL);
    // Version 1, with other controllers beside it; a limit above the memory changes nothing.
    EXPECT_EQ(BudgetOf({{"/proc/meminfo", meminfo},
                        {"/proc/self/cgroup", "5:devices:/\n4:memory,hugetlb:/job\n1:cpu:/\n"},
                        {"/sys/fs/cgroup/memory/job/memory.limit_in_bytes", "1073741824\n"},
                        {"/sys/fs/cgroup/memory/memory.limit_in_bytes", "9223372036854771712\n"}}),
              1073741824LL);
    // A container that shows its own group as the root.
    EXPECT_EQ(BudgetOf({{"/proc/meminfo", meminfo}, {"/sys/fs/cgroup/memory.max", "536870912\n"}}),
              536870912LL);
    // An old kernel without MemAvailable; nothing at all.
    EXPECT_EQ(BudgetOf({{"/proc/meminfo", "MemTotal: 100 kB\nMemFree: 40 kB\n"}}), 40 * 1024);
    EXPECT_EQ(BudgetOf({}), 0);
    EXPECT_EQ(BudgetOf({{"/proc/meminfo", "MemAvailable: lots\n"}}), 0);
}

TEST(AvailableMemoryBytes, ReadsThisMachine) {
    EXPECT_GT(AvailableMemoryBytes(), 0);
}

// A count asked for shapes the image: it is refused, with the count that fits, rather than
// lowered; the target's cap (the same on any machine) still applies first.
TEST(RequireWorkersFit, RefusesACountWhoseBuffersExceedTheBudget) {
    EXPECT_NO_THROW(RequireWorkersFit(3, 20000000, 1000, 3000));
    EXPECT_NO_THROW(RequireWorkersFit(1024, 20000000, 1000, 0));  // no budget known
    EXPECT_NO_THROW(RequireWorkersFit(16, 1000000, 1000, 10000)); // capped to 10 first
    try {
        RequireWorkersFit(3, 20000000, 1000000000, 2500000000);
        ADD_FAILURE() << "3 workers of 1 GB fit in 2.5 GB";
    } catch (const MemoryBudgetError& e) {
        EXPECT_EQ(e.fitting(), 2);
        EXPECT_STREQ(e.what(), "3 workers need 3000 MB for their buffers, more than the 2500 MB "
                               "of memory available; 2 workers fit");
    }
    try {
        RequireWorkersFit(2, 20000000, 1000, 999);
        ADD_FAILURE() << "2 workers of 1000 bytes fit in 999";
    } catch (const MemoryBudgetError& e) {
        EXPECT_EQ(e.fitting(), 0);
    }
}

} // namespace
} // namespace vorticel
