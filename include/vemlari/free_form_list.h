#pragma once
// Free-form input: the rules by which the interactive program reads its model file and its
// keyboard answers, and read_models the program's model-file format. Each read starts at
// the next unread line; values are separated by commas, blanks, tabs or line ends; an empty
// value (two commas) or a value after "/" keeps what the item held; r*v repeats v r times.
#include <cstddef>
#include <initializer_list>
#include <string>
#include <string_view>

namespace vemlari {

// The longest line a read takes (without its line end): a source without line ends, such as
// /dev/zero, must fail the read instead of filling the memory.
inline constexpr std::size_t max_record = std::size_t{1} << 20;

struct ListItem {
    int* i = nullptr;
    double* r = nullptr;
    ListItem(int& v) : i(&v) {}
    ListItem(double& v) : r(&v) {}
};

// Where a read takes its lines from, and how it gives up: the program reads numbered
// streams, the model readers read files held in memory.
class LineSource {
public:
    virtual ~LineSource() = default;
    // The next line without its line end; false at the end of the input.
    virtual bool next_line(std::string& line) = 0;
    // Past the next line without keeping it (a title of any length costs no memory).
    virtual bool skip_next_line() {
        std::string line;
        return next_line(line);
    }
    // A failed read: the operation ("list in", "invalid number", ...), what went wrong, and
    // the value at fault (empty at the end of the input).
    [[noreturn]] virtual void fail(std::string_view context, std::string_view condition, std::string_view value) = 0;
};

// One read statement. Malformed values and the end of the input call in.fail.
void read_list(LineSource& in, std::initializer_list<ListItem> items);
// Consumes one line without looking at it.
void skip_line(LineSource& in);

}  // namespace vemlari
