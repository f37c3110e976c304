#pragma once
// What the model-file readers share: the file as lines, the refusal that names a line,
// blank-separated fields and strict numbers.
#include <iosfwd>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace vemlari::cli {

// A file that cannot be read as a model: the line at fault (from 1; 0 for the file as a
// whole) and what was expected there.
class FileRefusal : public std::runtime_error {
public:
    FileRefusal(int line, const std::string& what) : std::runtime_error(what), line_(line) {}
    int line() const { return line_; }

private:
    int line_;
};

// The lines of a file without their line ends; a last line without one counts if not empty.
std::vector<std::string> split_lines(std::string_view text);
// The same, read from a stream; a line longer than max_record (records/streams.h) is
// refused as soon as it gets there, so that a source without line ends ends the read.
std::vector<std::string> read_lines(std::istream& in);

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

}  // namespace vemlari::cli
