#include "vemlari/free_form_list.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <string_view>

namespace vemlari {

namespace {

bool is_blank(char c) { return c == ' ' || c == '\t' || c == '\r'; }
bool ends_value(char c) { return is_blank(c) || c == ',' || c == '/'; }
bool is_digit(char c) { return c >= '0' && c <= '9'; }

// Checks the form of a value and converts it; fails the read otherwise.
void assign(LineSource& in, std::string_view v, const ListItem& item) {
    const char first = v.empty() ? ' ' : v[0];
    if (!(is_digit(first) || first == '+' || first == '-' || first == '.')) {
        in.fail("list in", "incomprehensible list input", v);
    }
    std::size_t p = 0;
    if (v[p] == '+' || v[p] == '-') ++p;
    const std::size_t int_start = p;
    while (p < v.size() && is_digit(v[p])) ++p;
    std::size_t digits = p - int_start;
    if (item.i != nullptr) {
        if (digits == 0 || p != v.size()) in.fail("invalid integer", "read unexpected character", v);
        errno = 0;
        const long long x = std::strtoll(std::string(v).c_str(), nullptr, 10);
        if (errno == ERANGE || x > INT_MAX || x < INT_MIN) {
            in.fail("invalid integer", "integer out of range", v);
        }
        *item.i = static_cast<int>(x);
        return;
    }
    if (p < v.size() && v[p] == '.') {
        ++p;
        const std::size_t frac_start = p;
        while (p < v.size() && is_digit(v[p])) ++p;
        digits += p - frac_start;
    }
    std::string text(v.substr(0, p));
    if (digits > 0 && p < v.size() && (v[p] == 'e' || v[p] == 'E' || v[p] == 'd' || v[p] == 'D')) {
        text.push_back('e');
        ++p;
        const std::size_t exp_start = p;
        if (p < v.size() && (v[p] == '+' || v[p] == '-')) text.push_back(v[p++]);
        const std::size_t exp_digits = p;
        while (p < v.size() && is_digit(v[p])) text.push_back(v[p++]);
        if (p == exp_digits || exp_start == v.size()) p = std::string_view::npos;
    }
    if (digits == 0 || p != v.size()) in.fail("invalid number", "read unexpected character", v);
    *item.r = std::strtod(text.c_str(), nullptr);
}

}  // namespace

void read_list(LineSource& in, std::initializer_list<ListItem> items) {
    std::string line;
    auto next_line = [&] {
        if (!in.next_line(line)) in.fail("list in", "end of file", {});
    };
    next_line();
    std::size_t pos = 0;
    bool after_separator = true;  // the start of a read behaves as if a comma had just passed
    std::string repeat_value;
    bool repeat_null = false;
    int repeat_left = 0;

    for (const ListItem& item : items) {
        if (repeat_left > 0) {
            --repeat_left;
            if (!repeat_null) assign(in, repeat_value, item);
            continue;
        }
        for (;;) {
            while (pos < line.size() && is_blank(line[pos])) ++pos;
            if (pos == line.size()) {
                next_line();
                pos = 0;
                continue;
            }
            const char c = line[pos];
            if (c == '/') return;
            if (c == ',') {
                ++pos;
                if (after_separator) break;  // empty value: the item keeps its value
                after_separator = true;
                continue;
            }
            std::size_t end = pos;
            while (end < line.size() && !ends_value(line[end])) ++end;
            const std::string_view token(line.data() + pos, end - pos);
            pos = end;
            after_separator = false;
            const std::size_t star = token.find('*');
            if (star == std::string_view::npos) {
                assign(in, token, item);
                break;
            }
            const std::string_view count = token.substr(0, star);
            // A count past INT_MAX is refused as soon as it gets there, before r can overflow.
            long long r = 0;
            for (char d : count) {
                if (!is_digit(d)) in.fail("list in", "bad repetition count", token);
                r = r * 10 + (d - '0');
                if (r > INT_MAX) in.fail("invalid integer", "integer out of range", token);
            }
            if (count.empty() || r < 1) in.fail("list in", "bad repetition count", token);
            repeat_value.assign(token.substr(star + 1));
            repeat_null = repeat_value.empty();
            repeat_left = static_cast<int>(r) - 1;
            if (!repeat_null) assign(in, repeat_value, item);
            break;
        }
    }
}

void skip_line(LineSource& in) {
    if (!in.skip_next_line()) in.fail("list in", "end of file", {});
}

}  // namespace vemlari
