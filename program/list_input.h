#pragma once
// Free-form input, for the model file and the keyboard alike. Each read starts at the next
// unread line; values are separated by commas, blanks, tabs or line ends; an empty value
// (two commas) or a value after "/" keeps what the item held; r*v repeats v r times.
#include <initializer_list>
#include <string>
#include <string_view>

#include "records/streams.h"

namespace vemlari {

struct ListItem {
    int* i = nullptr;
    double* r = nullptr;
    ListItem(int& v) : i(&v) {}
    ListItem(double& v) : r(&v) {}
};

// Where a read takes its lines from, and how it gives up: the program reads numbered
// streams, the command line reads model files held in memory.
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

// The same on a stream, whose failures throw StreamFailure.
void read_list(Streams& st, int unit, std::initializer_list<ListItem> items);
void skip_line(Streams& st, int unit);
// The whole next line, trailing blanks removed (a file name).
std::string read_name(Streams& st, int unit);

}  // namespace vemlari
