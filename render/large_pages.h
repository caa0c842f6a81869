// Large buffers on the system's huge pages where it offers them: a splat that lands anywhere in
// a large image then costs one page-table walk per 2 MiB of buffer instead of per 4 KiB.
#pragma once

#include <cstddef>
#include <vector>

namespace vorticel {

// Asks for huge pages under the whole 2 MiB pages inside `bytes` at `data`, moving what they
// hold there now; a hint, silently ignored where unsupported.
void AdviseLargePages(void* data, std::size_t bytes);

template <class T> void AdviseLargePages(std::vector<T>& buffer) {
    AdviseLargePages(buffer.data(), buffer.size() * sizeof(T));
}

} // namespace vorticel
