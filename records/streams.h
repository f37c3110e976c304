#pragma once
// Numbered streams 0 .. 99. 0, 5 and 6 are bound to the error stream, the keyboard and the
// console; the others are bound to files in the run's working directory, by name or, on a
// first write to an unbound stream, to "fort.N".
#include <array>
#include <cstdio>
#include <filesystem>
#include <iosfwd>
#include <string>
#include <string_view>

#include "records/record_sink.h"
#include "vemlari/free_form_list.h"  // max_record

namespace vemlari {

enum class OpenStatus { unk, old };

class Streams : public RecordSink {
public:
    Streams(std::istream& keyboard, std::ostream& console, std::ostream& error, std::filesystem::path dir);
    ~Streams() override;
    Streams(const Streams&) = delete;
    Streams& operator=(const Streams&) = delete;

    // "unk": the file is created or emptied, and holds exactly what this run writes to it.
    // "old" (reading): the file must exist. Failures throw StreamFailure.
    void open(int unit, std::string_view name, OpenStatus status);
    void close(int unit);
    // Closes every bound stream in stream-number order.
    void close_all();

    void put(int unit, std::string_view record, std::string_view layout) override;

    // Next line of an input stream (without its line end); false at the end of the input.
    // A line longer than max_record fails the read: "<context>: record too long".
    bool read_line(int unit, std::string& line, std::string_view context = "list in");
    // Past the next line without keeping it; false at the end of the input.
    bool skip_line(int unit, std::string_view context = "list in");
    // Console records must be visible before the program waits for the keyboard.
    void flush_console();

    // Throws StreamFailure with the error report of a failed operation on `unit`; a line
    // number above 0 is named after the stream.
    [[noreturn]] void fail(int unit, std::string_view context, std::string_view condition, bool reading,
                           long long line = 0);

    bool bound(int unit) const;
    const std::filesystem::path& dir() const { return dir_; }

private:
    struct Stream {
        std::FILE* file = nullptr;
        std::string name;
        bool last_was_write = false;
        std::string last_layout;
        bool reading = false;
        long long lines_read = 0;
    };
    void bind_default(int unit);
    bool next_record(int unit, std::string* line, std::string_view context);

    std::istream& keyboard_;
    std::ostream& console_;
    std::ostream& error_;
    std::filesystem::path dir_;
    std::array<Stream, 100> s_{};
};

}  // namespace vemlari
