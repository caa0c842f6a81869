// An output stream buffer over a file descriptor that remembers why a write failed.
#pragma once

#include <streambuf>
#include <vector>

namespace vorticel {

class FdStreamBuf : public std::streambuf {
public:
    static constexpr std::size_t kBufferSize = 1 << 16;

    // Does not own `fd`.
    explicit FdStreamBuf(int fd);
    FdStreamBuf(const FdStreamBuf&) = delete;
    FdStreamBuf& operator=(const FdStreamBuf&) = delete;

    // The errno value of the first failed write; 0 while every write succeeded.
    int error() const { return error_; }

protected:
    int_type overflow(int_type c) override;
    std::streamsize xsputn(const char* data, std::streamsize count) override;
    int sync() override;

private:
    bool WriteOut(const char* data, std::size_t count);
    bool Drain();

    int fd_;
    int error_ = 0;
    std::vector<char> buffer_;
};

} // namespace vorticel
