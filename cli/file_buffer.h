#pragma once
// A stream buffer that writes to a file descriptor and keeps the reason of the first
// failed write, for a message that says why a table could not be written.
#include <streambuf>
#include <vector>

namespace vemlari::cli {

class FileBuffer : public std::streambuf {
public:
    explicit FileBuffer(int fd);
    // errno of the first failed write, 0 while none failed.
    int error() const { return error_; }

protected:
    int_type overflow(int_type c) override;
    int sync() override;

private:
    bool drain();

    int fd_;
    std::vector<char> buffer_;
    int error_ = 0;
};

}  // namespace vemlari::cli
