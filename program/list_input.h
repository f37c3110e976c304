#pragma once
// Free-form input (vemlari/free_form_list.h) on the program's numbered streams.
#include <initializer_list>
#include <string>

#include "records/streams.h"
#include "vemlari/free_form_list.h"

namespace vemlari {

// A read on a stream, whose failures throw StreamFailure.
void read_list(Streams& st, int unit, std::initializer_list<ListItem> items);
void skip_line(Streams& st, int unit);
// The whole next line, trailing blanks removed (a file name).
std::string read_name(Streams& st, int unit);

}  // namespace vemlari
