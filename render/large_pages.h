// Large buffers on the system's huge pages where it offers them: a splat that lands anywhere in
// a large image then costs one page-table walk per 2 MiB of buffer instead of per 4 KiB.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <new>
#include <type_traits>
#include <utility>
#include <vector>

namespace vorticel {

// Asks for huge pages under the whole 2 MiB pages inside `bytes` at `data`; a hint, silently
// ignored where unsupported. Pages written before it stay as they are.
void AdviseLargePages(void* data, std::size_t bytes);

// Memory advised before anything is written to it, so the first writes fault in huge pages
// directly rather than small ones the system would have to copy over later. It comes zeroed
// (calloc, which takes fresh pages from the system for large blocks and so writes nothing), and
// elements value-initialised in it are left as they are: a large buffer of zeros is then not
// written at all until it is used, page by page. Only LargeBuffer uses it, which value-initialises
// nothing but fresh memory.
template <class T> struct LargePageAllocator {
    using value_type = T;

    LargePageAllocator() = default;
    template <class U> explicit LargePageAllocator(const LargePageAllocator<U>& /*other*/) {}

    T* allocate(std::size_t n) {
        void* const data = std::calloc(n, sizeof(T));
        if (data == nullptr) {
            throw std::bad_alloc();
        }
        AdviseLargePages(data, n * sizeof(T));
        return static_cast<T*>(data);
    }
    void deallocate(T* data, std::size_t /*n*/) { std::free(data); }

    template <class U, class... Args> void construct(U* p, Args&&... args) {
        if constexpr (sizeof...(Args) != 0 || !std::is_trivially_default_constructible_v<U>) {
            ::new (static_cast<void*>(p)) U(std::forward<Args>(args)...);
        }
    }

    friend bool operator==(const LargePageAllocator&, const LargePageAllocator&) { return true; }
    friend bool operator!=(const LargePageAllocator&, const LargePageAllocator&) { return false; }
};

// Whether the `bytes` bytes at `p` are all zero; stops at the first 64 that are not.
inline bool AllZeroBytes(const unsigned char* p, std::size_t bytes) {
    std::size_t at = 0;
    for (; at + 64 <= bytes; at += 64) {
        std::uint64_t words[8];
        std::memcpy(words, p + at, sizeof words);
        std::uint64_t any = 0;
        for (const std::uint64_t w : words) {
            any |= w;
        }
        if (any != 0) {
            return false;
        }
    }
    for (; at < bytes; ++at) {
        if (p[at] != 0) {
            return false;
        }
    }
    return true;
}

// An accumulation buffer: a vector that can only be made whole (n zeros, n copies of a value, a
// copy), never grown, so that its value-initialised elements are always fresh zeroed memory.
template <class T> class LargeBuffer : private std::vector<T, LargePageAllocator<T>> {
    using Base = std::vector<T, LargePageAllocator<T>>;
    static_assert(std::is_trivially_copyable_v<T>, "copies go by bytes");

public:
    using typename Base::const_iterator;
    using typename Base::iterator;
    using typename Base::value_type;

    LargeBuffer() = default;
    // `count` zeros, none of them written yet.
    explicit LargeBuffer(std::size_t count) : Base(count), untouched_(true) {}
    // Fresh zeros with the other's nonzero blocks copied in. A buffer nothing could have written
    // to since it was made (each render worker's source, cleared as the run starts) is not even
    // read: reading fresh memory costs the system the same pages as writing it.
    LargeBuffer(const LargeBuffer& other) : Base(other.size()), untouched_(true) {
        if (other.untouched_) {
            return;
        }
        const auto* from = reinterpret_cast<const unsigned char*>(other.data());
        auto* to = reinterpret_cast<unsigned char*>(Base::data());
        const std::size_t bytes = size() * sizeof(T);
        constexpr std::size_t kBlock = 4096;
        for (std::size_t at = 0; at < bytes; at += kBlock) {
            const std::size_t n = std::min(kBlock, bytes - at);
            if (!AllZeroBytes(from + at, n)) {
                std::memcpy(to + at, from + at, n);
                untouched_ = false;
            }
        }
    }
    LargeBuffer(LargeBuffer&& other) noexcept
        : Base(std::move(other)), untouched_(std::exchange(other.untouched_, false)) {}
    LargeBuffer& operator=(const LargeBuffer& other) {
        LargeBuffer copy(other);
        swap(copy);
        return *this;
    }
    LargeBuffer& operator=(LargeBuffer&& other) noexcept {
        LargeBuffer taken(std::move(other));
        swap(taken);
        return *this;
    }
    ~LargeBuffer() = default;

    using Base::empty;
    using Base::size;
    // All zeros, and nothing written since it was made.
    bool Untouched() const { return untouched_; }
    // Reading leaves the buffer untouched; any way to write to it does not.
    const T* data() const { return Base::data(); }
    const_iterator begin() const { return Base::begin(); }
    const_iterator end() const { return Base::end(); }
    const T& operator[](std::size_t i) const { return Base::operator[](i); }
    T* data() {
        untouched_ = false;
        return Base::data();
    }
    iterator begin() {
        untouched_ = false;
        return Base::begin();
    }
    iterator end() {
        untouched_ = false;
        return Base::end();
    }
    T& operator[](std::size_t i) {
        untouched_ = false;
        return Base::operator[](i);
    }
    void assign(std::size_t count, const T& value) {
        Base::assign(count, value);
        untouched_ = false;
    }
    void swap(LargeBuffer& other) noexcept {
        Base::swap(other);
        std::swap(untouched_, other.untouched_);
    }

private:
    bool untouched_ = false; // all zeros, and nothing written since it was made
};

// Buffers from this size on are zeroed by taking fresh memory (ZeroBuffer).
inline constexpr std::size_t kFreshZerosFromBytes = std::size_t{8} << 20;

// Sets every element of `buffer` (of a type whose zero is all zero bytes) to zero. One untouched
// since it was made is left as it is, and a large one gets fresh memory instead of a pass of
// writes: what a run then leaves untouched (a renderer whose single worker's buffer it takes
// over at the end) is never written at all.
template <class T> void ZeroBuffer(LargeBuffer<T>& buffer) {
    if (buffer.Untouched()) {
        return;
    }
    if (buffer.size() * sizeof(T) >= kFreshZerosFromBytes) {
        buffer = LargeBuffer<T>(buffer.size());
    } else {
        std::fill(buffer.begin(), buffer.end(), T{});
    }
}

} // namespace vorticel
