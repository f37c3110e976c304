#include "cli/table_output.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>

#include "cli/interrupts.h"

namespace vemlari::cli {

TableOutput::TableOutput(std::string path, std::ostream& standard_output)
    : path_(std::move(path)), standard_(standard_output) {}

TableOutput::~TableOutput() {
    if (fd_ >= 0) ::close(fd_);
    if (!temporary_.empty()) {
        ::unlink(temporary_.c_str());
        remove_on_interrupt(nullptr);
    }
}

bool TableOutput::fail(int error) {
    if (failure_.empty()) {
        failure_ = "cannot write " + (path_.empty() ? std::string("the standard output") : path_);
        if (error != 0) failure_ += std::string(": ") + std::strerror(error);
    }
    return false;
}

bool TableOutput::open() {
    if (path_.empty()) return true;
    struct stat st {};
    const bool exists = ::stat(path_.c_str(), &st) == 0;
    if (!exists && errno != ENOENT) return fail(errno);
    if (exists && S_ISDIR(st.st_mode)) return fail(EISDIR);
    if (exists && !S_ISREG(st.st_mode)) {
        fd_ = ::open(path_.c_str(), O_WRONLY | O_TRUNC | O_NOCTTY | O_CLOEXEC);
        if (fd_ < 0) return fail(errno);
    } else {
        // Beside the file a link points to, so that the link stays and the rename stays on one file system.
        std::error_code ec;
        target_ = exists ? std::filesystem::canonical(path_, ec).string() : path_;
        if (ec) return fail(ec.value());
        if (exists && ::access(target_.c_str(), W_OK) != 0) return fail(errno);
        const std::filesystem::path target(target_);
        // Appended piece by piece: g++ 12 mistakes a literal + a temporary string for an
        // overlapping copy (-Wrestrict).
        std::string stem(1, '.');
        stem += target.filename().string();
        stem += ".vemlari-";
        stem += std::to_string(::getpid());
        stem += '-';
        for (int k = 0; fd_ < 0; ++k) {
            const std::string name = (target.parent_path() / (stem + std::to_string(k))).string();
            fd_ = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
            if (fd_ < 0 && (errno != EEXIST || k == 99)) return fail(errno);
            if (fd_ >= 0) temporary_ = name;
        }
        remove_on_interrupt(temporary_.c_str());
        // The file keeps its permissions.
        if (exists) ::fchmod(fd_, st.st_mode & 07777);
    }
    buffer_ = std::make_unique<FileBuffer>(fd_);
    file_ = std::make_unique<std::ostream>(buffer_.get());
    return true;
}

bool TableOutput::good() {
    if (!failure_.empty()) return false;
    if (!file_) return standard_ ? true : fail(errno);
    return buffer_->error() == 0 || fail(buffer_->error());
}

bool TableOutput::close(bool keep) {
    errno = 0;
    stream().flush();
    if (!file_) return good();
    int error = buffer_->error();
    if (::close(fd_) != 0 && error == 0) error = errno;
    fd_ = -1;
    if (!temporary_.empty()) {
        if (error == 0 && keep && ::rename(temporary_.c_str(), target_.c_str()) != 0) error = errno;
        if (error != 0 || !keep) ::unlink(temporary_.c_str());
        remove_on_interrupt(nullptr);
        temporary_.clear();
    }
    return error == 0 || fail(error);
}

}  // namespace vemlari::cli
