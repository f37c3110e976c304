#include "program/list_input.h"

#include <string_view>

namespace vemlari {

namespace {

bool is_blank(char c) { return c == ' ' || c == '\t' || c == '\r'; }

class StreamSource : public LineSource {
public:
    StreamSource(Streams& st, int unit) : st_(st), unit_(unit) {}
    bool next_line(std::string& line) override { return st_.read_line(unit_, line); }
    bool skip_next_line() override { return st_.skip_line(unit_); }
    [[noreturn]] void fail(std::string_view context, std::string_view condition, std::string_view) override {
        st_.fail(unit_, context, condition, true);
    }

private:
    Streams& st_;
    int unit_;
};

}  // namespace

void read_list(Streams& st, int unit, std::initializer_list<ListItem> items) {
    StreamSource in(st, unit);
    read_list(in, items);
}

void skip_line(Streams& st, int unit) {
    StreamSource in(st, unit);
    skip_line(in);
}

std::string read_name(Streams& st, int unit) {
    std::string line;
    if (!st.read_line(unit, line, "read start")) st.fail(unit, "read start", "end of file", true);
    std::size_t n = line.size();
    while (n > 0 && is_blank(line[n - 1])) --n;
    line.resize(n);
    return line;
}

}  // namespace vemlari
