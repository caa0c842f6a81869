// Large buffers on the system's huge pages where it offers them: a splat that lands anywhere in
// a large image then costs one page-table walk per 2 MiB of buffer instead of per 4 KiB.
#pragma once

#include <cstddef>
#include <memory>
#include <vector>

namespace vorticel {

// Asks for huge pages under the whole 2 MiB pages inside `bytes` at `data`; a hint, silently
// ignored where unsupported. Pages written before it stay as they are.
void AdviseLargePages(void* data, std::size_t bytes);

// Memory advised before anything is written to it, so the first writes fault in huge pages
// directly rather than small ones the system would have to copy over later.
template <class T> struct LargePageAllocator {
    using value_type = T;

    LargePageAllocator() = default;
    template <class U> explicit LargePageAllocator(const LargePageAllocator<U>& /*other*/) {}

    T* allocate(std::size_t n) {
        T* const data = std::allocator<T>().allocate(n);
        AdviseLargePages(data, n * sizeof(T));
        return data;
    }
    void deallocate(T* data, std::size_t n) { std::allocator<T>().deallocate(data, n); }

    friend bool operator==(const LargePageAllocator&, const LargePageAllocator&) { return true; }
    friend bool operator!=(const LargePageAllocator&, const LargePageAllocator&) { return false; }
};

// An accumulation buffer.
template <class T> using LargeBuffer = std::vector<T, LargePageAllocator<T>>;

} // namespace vorticel
