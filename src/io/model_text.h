#pragma once
// What the model-file readers share: the file as lines, the refusal that names a line,
// blank-separated fields and strict numbers.
#include <cstdint>
#include <iosfwd>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace vemlari::detail::io {

// A file that cannot be read as a model: the line at fault (from 1; 0 for the file as a
// whole) and what was expected there.
class FileRefusal : public std::runtime_error {
public:
    FileRefusal(int line, const std::string& what) : std::runtime_error(what), line_(line) {}
    int line() const { return line_; }

private:
    int line_;
};

// The lines of a file without their line ends, in one buffer: a line costs 4 bytes besides
// its text, so that a file of empty lines takes little memory.
class Text {
public:
    std::size_t size() const { return ends_.size(); }
    std::string_view operator[](std::size_t i) const {
        const std::uint32_t start = i == 0 ? 0 : ends_[i - 1];
        return std::string_view(bytes_).substr(start, ends_[i] - start);
    }

private:
    friend class TextReader;
    std::string bytes_;
    std::vector<std::uint32_t> ends_;
};

// The most a MODEL input may hold: past it the read ends and the input is refused, so that
// an endless source (/dev/urandom, `yes`) ends the read instead of filling the memory.
inline constexpr std::size_t max_input_bytes = std::size_t{64} << 20;

// The lines of a file; a last line without a line end counts if not empty, and a UTF-8
// byte-order mark before the first is dropped.
Text split_lines(std::string_view text);
// The same, read from a stream. A line longer than max_record (records/streams.h) or an
// input longer than max_input_bytes is refused as soon as it gets there.
Text read_lines(std::istream& in);

// The fields of a line, separated by blanks, tabs or commas.
std::vector<std::string_view> fields(std::string_view line);

// The line without leading and trailing blanks, in capitals, for keyword lines.
std::string keyword(std::string_view line);

// A finite number written the way strtod writes it, the whole field ("+" allowed), times
// 10^shift: the shift moves the decimal point of the text, so "2.6" with shift 3 is exactly
// the double of 2600. Empty for anything else.
std::optional<double> parse_number(std::string_view field, int shift = 0);

// A whole number in the range of int; empty for anything else.
std::optional<int> parse_whole(std::string_view field);

// A field as a message quotes it.
std::string in_quotes(std::string_view field);

}  // namespace vemlari::detail::io
