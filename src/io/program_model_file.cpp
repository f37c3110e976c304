// The program's model file, read line by line as the dialogue reads it (program/model_file.cpp):
// the same free-form reads into the same variables, so the same file gives the same doubles.
#include <cmath>

#include "io/model_formats.h"
#include "vemlari/free_form_list.h"

namespace vemlari {

using namespace detail;

bool power_of_two(int nt) {
    double a = nt;
    do {
        a = a / 2.0;
    } while (a > 1.0);
    return a == 1.0;
}

}  // namespace vemlari

namespace vemlari::detail::io {

namespace {

struct ListFailure {
    std::string context, condition, value;
};

class Lines : public LineSource {
public:
    explicit Lines(const Text& lines) : lines_(lines) {}
    bool next_line(std::string& line) override {
        if (next_ >= lines_.size()) return false;
        line = lines_[next_++];
        return true;
    }
    bool skip_next_line() override {
        if (next_ >= lines_.size()) return false;
        ++next_;
        return true;
    }
    [[noreturn]] void fail(std::string_view context, std::string_view condition, std::string_view value) override {
        throw ListFailure{std::string(context), std::string(condition), std::string(value)};
    }
    // Lines read so far: the number of the last one.
    int line() const { return static_cast<int>(next_); }

private:
    const Text& lines_;
    std::size_t next_ = 0;
};

std::string fault(const ListFailure& f) {
    if (f.condition == "integer out of range") return in_quotes(f.value) + " is too large for a whole number";
    if (f.context == "invalid integer") return in_quotes(f.value) + " is not a whole number";
    if (f.condition == "bad repetition count") return in_quotes(f.value) + " has a bad repeat count";
    return in_quotes(f.value) + " is not a number";
}

// One read of the file; a failure names the line and what the read expected.
template <class Read>
void expect(Lines& in, const std::string& what, Read&& read) {
    try {
        read();
    } catch (const ListFailure& f) {
        if (f.condition == "end of file") throw FileRefusal(in.line() + 1, "expected " + what + ": the file ends");
        throw FileRefusal(in.line(), "expected " + what + ": " + fault(f));
    }
}

}  // namespace

ParsedModel read_program_file(const Text& lines) {
    Lines in(lines);
    double dt = 0.0, period = 0.0;
    int nt = 0, nl = 0;
    expect(in, "a title line", [&] { skip_line(in); });
    expect(in, "a heading line", [&] { skip_line(in); });
    expect(in, "dt (s) and nt", [&] { read_list(in, {dt, nt}); });
    const int sampling_line = in.line();
    if (!power_of_two(nt)) throw FileRefusal(sampling_line, "nt = " + std::to_string(nt) + " must be a power of 2");
    if (!(std::isfinite(dt) && dt > 0.0)) throw FileRefusal(sampling_line, "dt must be a positive number of seconds");
    expect(in, "a heading line", [&] { skip_line(in); });
    expect(in, "the shortest period (s)", [&] { read_list(in, {period}); });
    if (!(std::isfinite(period) && period > 0.0))
        throw FileRefusal(in.line(), "the shortest period must be a positive number of seconds");
    // The dialogue's grid, expression for expression (program/dialogue.cpp).
    const double duration = nt * dt;
    const double count = duration / period;
    if (!(count < 2147483648.0)) throw FileRefusal(in.line(), "nt * dt / period must fit a whole number");
    // A few bytes of file must not ask for gigabytes of grid (found by the fuzzer); a grid
    // this fine is for --count.
    if (count > 1e7) throw FileRefusal(in.line(), "nt * dt / period gives more than 10000000 frequencies");
    ParsedModel m;
    m.grid = Frequencies::regular(8.0 * std::atan(1.0) / duration, 0, static_cast<int>(count));

    expect(in, "a blank or heading line", [&] { skip_line(in); });
    expect(in, "a heading line", [&] { skip_line(in); });
    expect(in, "the number of layers", [&] { read_list(in, {nl}); });
    if (nl < 1) throw FileRefusal(in.line(), "the number of layers must be at least 1");
    expect(in, "the heading of the layer table", [&] { skip_line(in); });

    int number = 0;
    double rho = 0.0, vp = 0.0, qp = 0.0, fp = 0.0, vs = 0.0, qs = 0.0, fs = 0.0, thk = 0.0;
    for (int il = 1; il <= nl; ++il) {
        rho = vp = vs = thk = 0.0;
        m.layer_lines.push_back(in.line() + 1);
        expect(in,
               "layer " + std::to_string(il) + " of " + std::to_string(nl) +
                   " (number, density, Vp, Qp, Fp, Vs, Qs, Fs, thickness)",
               [&] {
                   read_list(in, {number, rho, vp, qp, fp, vs, qs, fs, thk});
               });
        m.layers.push_back({thk, vp, vs, rho, qp, qs, fp, fs});
    }
    return m;
}

}  // namespace vemlari::detail::io
