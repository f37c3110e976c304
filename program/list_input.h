#pragma once
// Free-form input, for the model file and the keyboard alike. Each read starts at the next
// unread line; values are separated by commas, blanks, tabs or line ends; an empty value
// (two commas) or a value after "/" keeps what the item held; r*v repeats v r times.
#include <initializer_list>
#include <string>

#include "records/streams.h"

namespace vemlari {

struct ListItem {
    int* i = nullptr;
    double* r = nullptr;
    ListItem(int& v) : i(&v) {}
    ListItem(double& v) : r(&v) {}
};

// One read statement. Malformed values and the end of the input throw StreamFailure.
void read_list(Streams& st, int unit, std::initializer_list<ListItem> items);
// Consumes one line without looking at it.
void skip_line(Streams& st, int unit);
// The whole next line, trailing blanks removed (a file name).
std::string read_name(Streams& st, int unit);

}  // namespace vemlari
