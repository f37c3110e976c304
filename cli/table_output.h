#pragma once
// Where the table goes: standard output, or the file of -o. A FILE that is a regular file, or
// none yet, is written to a temporary file beside it and renamed over it at the end, so that
// a run that fails, is interrupted or refuses every model leaves it as it was; other files (a
// terminal, a pipe, /dev/null) are written in place.
#include <memory>
#include <ostream>
#include <string>

#include "cli/file_buffer.h"

namespace vemlari::cli {

class TableOutput {
public:
    // `path` empty: `standard_output`.
    TableOutput(std::string path, std::ostream& standard_output);
    ~TableOutput();
    TableOutput(const TableOutput&) = delete;
    TableOutput& operator=(const TableOutput&) = delete;

    // False, with failure() set, when the file cannot be written.
    bool open();
    std::ostream& stream() { return file_ ? *file_ : standard_; }
    // Whether every write so far went through; call it right after writing, with errno
    // cleared before, so that a failure of standard output keeps the system's reason.
    bool good();
    // Flushes the table; a file is put in place when `keep`, else removed. False, with
    // failure() set, when the table could not be written.
    bool close(bool keep);
    // "cannot write FILE: reason".
    const std::string& failure() const { return failure_; }

private:
    bool fail(int error);

    std::string path_;
    std::ostream& standard_;
    std::string target_, temporary_;
    int fd_ = -1;
    std::unique_ptr<FileBuffer> buffer_;
    std::unique_ptr<std::ostream> file_;
    std::string failure_;
};

}  // namespace vemlari::cli
