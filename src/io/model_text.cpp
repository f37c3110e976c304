#include "io/model_text.h"

#include <charconv>
#include <climits>
#include <cmath>
#include <istream>
#include <limits>
#include <stdexcept>

#include "vemlari/free_form_list.h"

namespace vemlari::detail::io {

namespace {

bool is_blank(char c) { return c == ' ' || c == '\t' || c == '\r'; }

// from_chars takes no "+"; false for a sign after it.
bool drop_plus(std::string_view& s) {
    if (s.empty() || s[0] != '+') return true;
    s.remove_prefix(1);
    return s.empty() || (s[0] != '-' && s[0] != '+');
}

std::optional<double> plain_number(std::string_view s) {
    double v = 0.0;
    const auto r = std::from_chars(s.data(), s.data() + s.size(), v);
    if (s.empty() || r.ec != std::errc() || r.ptr != s.data() + s.size() || !std::isfinite(v)) return std::nullopt;
    return v;
}

}  // namespace

// Builds a Text byte by byte; with limits, refuses what read_lines refuses.
class TextReader {
public:
    explicit TextReader(bool limited) : limited_(limited) {}

    void put(char c) {
        if (limited_ && ++read_ > max_input_bytes)
            throw FileRefusal(line_number(), "the input is longer than " + std::to_string(max_input_bytes) +
                                                 " bytes (64 MiB): split it into several files");
        if (c == '\n') {
            end_line();
            return;
        }
        if (limited_ && text_.bytes_.size() - line_start() == max_record)
            throw FileRefusal(line_number(), "the line is longer than " + std::to_string(max_record) + " bytes");
        text_.bytes_.push_back(c);
    }

    Text finish() {
        if (text_.bytes_.size() > line_start()) end_line();
        // Editors on some systems start a UTF-8 file with a byte-order mark.
        constexpr std::string_view mark = "\xEF\xBB\xBF";
        if (std::string_view(text_.bytes_).starts_with(mark) && text_.ends_[0] >= mark.size()) {
            text_.bytes_.erase(0, mark.size());
            for (std::uint32_t& end : text_.ends_) end -= static_cast<std::uint32_t>(mark.size());
        }
        return std::move(text_);
    }

private:
    std::size_t line_start() const { return text_.ends_.empty() ? 0 : text_.ends_.back(); }
    int line_number() const { return static_cast<int>(text_.ends_.size()) + 1; }
    void end_line() {
        if (text_.bytes_.size() > std::numeric_limits<std::uint32_t>::max()) throw std::length_error("text too long");
        text_.ends_.push_back(static_cast<std::uint32_t>(text_.bytes_.size()));
    }

    bool limited_;
    std::size_t read_ = 0;
    Text text_;
};

Text split_lines(std::string_view text) {
    TextReader r(false);
    for (char c : text) r.put(c);
    return r.finish();
}

Text read_lines(std::istream& in) {
    using traits = std::istream::traits_type;
    TextReader r(true);
    std::streambuf* buffer = in.rdbuf();
    for (traits::int_type c; !traits::eq_int_type(c = buffer->sbumpc(), traits::eof());) r.put(traits::to_char_type(c));
    return r.finish();
}

std::vector<std::string_view> fields(std::string_view line) {
    std::vector<std::string_view> out;
    std::size_t p = 0;
    while (p < line.size()) {
        while (p < line.size() && (is_blank(line[p]) || line[p] == ',')) ++p;
        const std::size_t start = p;
        while (p < line.size() && !is_blank(line[p]) && line[p] != ',') ++p;
        if (p > start) out.push_back(line.substr(start, p - start));
    }
    return out;
}

std::string keyword(std::string_view line) {
    std::size_t a = 0, b = line.size();
    while (a < b && is_blank(line[a])) ++a;
    while (b > a && is_blank(line[b - 1])) --b;
    std::string k(line.substr(a, b - a));
    for (char& c : k)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return k;
}

std::optional<double> parse_number(std::string_view field, int shift) {
    if (!drop_plus(field)) return std::nullopt;
    const std::optional<double> v = plain_number(field);
    if (!v || shift == 0) return v;
    // Rewrite mantissa and exponent, so that the one rounding is strtod's of the shifted value.
    const std::size_t e = field.find_first_of("eE");
    long exponent = shift;
    if (e != std::string_view::npos) {
        std::string_view digits = field.substr(e + 1);
        if (!digits.empty() && digits[0] == '+') digits.remove_prefix(1);
        long written = 0;
        const auto r = std::from_chars(digits.data(), digits.data() + digits.size(), written);
        if (r.ec != std::errc()) return std::nullopt;
        // A finite value with an exponent this far out has a zero mantissa, which no shift
        // changes; the sum below would overflow.
        if (written > INT_MAX || written < INT_MIN) return *v == 0.0 ? v : std::nullopt;
        exponent += written;
    }
    return plain_number(std::string(field.substr(0, e)) + "e" + std::to_string(exponent));
}

std::optional<int> parse_whole(std::string_view field) {
    if (!drop_plus(field)) return std::nullopt;
    int v = 0;
    const auto r = std::from_chars(field.data(), field.data() + field.size(), v);
    if (field.empty() || r.ec != std::errc() || r.ptr != field.data() + field.size()) return std::nullopt;
    return v;
}

// Appended piece by piece: g++ 12 mistakes a literal + a temporary string for an
// overlapping copy (-Wrestrict).
std::string in_quotes(std::string_view field) {
    std::string quoted;
    quoted.reserve(field.size() + 2);
    quoted += '"';
    quoted += field;
    quoted += '"';
    return quoted;
}

}  // namespace vemlari::detail::io
