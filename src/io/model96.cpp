// The model96 text format: a version tag, a title, five keyword lines that say what kind of
// model it is, four reserved lines, a column heading, then one line per layer.
#include <cmath>

#include "io/model_formats.h"

namespace vemlari::detail::io {

namespace {

struct KeywordLine {
    const char* expected;
    const char* otherwise;  // why nothing else is computed
};

// Lines 3 .. 7.
const KeywordLine keyword_lines[] = {
    {"ISOTROPIC",
     "anisotropic model96 files are not read; give radially anisotropic layers as a list of models "
     "(nine numbers per layer: thickness vpv vsv rho qs qp vph vsh eta)"},
    {"KGS", "the layers must be in km, km/s and g/cm3"},
    {"FLAT EARTH", "spherical-earth models are not computed; flatten the model first"},
    {"1-D", "only 1-D models are computed"},
    {"CONSTANT VELOCITY", "only layers of constant velocity are computed"},
};

constexpr int heading_line = 12;
constexpr const char* columns = "H(KM) VP(KM/S) VS(KM/S) RHO(GM/CC) QP QS ETAP ETAS FREFP FREFS";

// A quality factor, or its inverse when at most 1; 0 stays 0 (none given).
double quality(double q) { return q > 1.0 ? q : q > 0.0 ? 1.0 / q : 0.0; }

}  // namespace

ParsedModel read_model96(const Text& lines) {
    const int count = static_cast<int>(lines.size());
    if (count < heading_line) {
        const char* what = count == 1   ? "a title"
                           : count < 7  ? keyword_lines[count - 2].expected
                           : count < 11 ? "a reserved line (LINE08 .. LINE11)"
                                        : "the column heading";
        throw FileRefusal(count + 1, std::string("expected ") + what + ": the file ends");
    }
    for (int i = 0; i < 5; ++i) {
        const std::string k = keyword(lines[static_cast<std::size_t>(i + 2)]);
        if (k != keyword_lines[i].expected)
            throw FileRefusal(i + 3, std::string("expected ") + keyword_lines[i].expected + ", found " + in_quotes(k) +
                                         ": " + keyword_lines[i].otherwise);
    }
    ParsedModel m;
    m.line = 1;
    for (int n = heading_line + 1; n <= count; ++n) {
        const std::vector<std::string_view> f = fields(lines[static_cast<std::size_t>(n - 1)]);
        if (f.empty()) continue;
        if (f.size() != 10)
            throw FileRefusal(
                n, std::string("expected 10 numbers, ") + columns + ", found " + std::to_string(f.size()) + " fields");
        double v[10];
        for (int i = 0; i < 10; ++i) {
            // H, VP, VS and RHO to m, m/s and kg/m3.
            const std::optional<double> x = parse_number(f[static_cast<std::size_t>(i)], i < 4 ? 3 : 0);
            if (!x)
                throw FileRefusal(n, std::string("expected 10 numbers, ") + columns + ", found " +
                                         in_quotes(f[static_cast<std::size_t>(i)]));
            v[i] = *x;
        }
        if (v[4] < 0.0 || v[5] < 0.0) throw FileRefusal(n, "QP and QS must not be negative");
        m.layers.push_back({v[0], v[1], v[2], v[3], quality(v[4]), quality(v[5]), v[8], v[9]});
        m.layer_lines.push_back(n);
    }
    if (m.layers.empty()) throw FileRefusal(count + 1, std::string("expected a layer: ") + columns);
    if (m.layers.back().thickness != 0.0)
        throw FileRefusal(m.layer_lines.back(), "the last layer is the half-space: its thickness H must be 0");
    return m;
}

}  // namespace vemlari::detail::io
