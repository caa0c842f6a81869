// Huge pages through madvise on Linux; nothing elsewhere.
#include "render/large_pages.h"

#include <cstdint>

#if defined(__linux__)
#include <sys/mman.h>
#endif

namespace vorticel {

void AdviseLargePages(void* data, std::size_t bytes) {
#if defined(__linux__) && defined(MADV_HUGEPAGE)
    constexpr std::uintptr_t kPage = std::uintptr_t{2} << 20;
    const auto start = reinterpret_cast<std::uintptr_t>(data);
    const std::uintptr_t first = (start + kPage - 1) & ~(kPage - 1);
    const std::uintptr_t end = (start + bytes) & ~(kPage - 1);
    if (data == nullptr || end <= first) {
        return;
    }
    void* const range = reinterpret_cast<void*>(first);
    const std::size_t length = end - first;
    if (madvise(range, length, MADV_HUGEPAGE) != 0) {
        return;
    }
    // The pages already written (a copy, a fill) are moved now rather than some day: Linux
    // 6.1's MADV_COLLAPSE, which older headers do not name (older kernels refuse it).
    constexpr int kCollapse = 25;
    madvise(range, length, kCollapse);
#else
    (void)data;
    (void)bytes;
#endif
}

} // namespace vorticel
