// A list of models, one after another: for thousands of models in one file or pipe.
#include "io/model_formats.h"

namespace vemlari::detail::io {

namespace {

bool ignored(const std::vector<std::string_view>& f) { return f.empty() || f[0].front() == '#'; }

// Fields of line n (from 1), found again where needed: a list may have millions of lines.
std::vector<std::string_view> fields_of(const Text& lines, int n) {
    return fields(lines[static_cast<std::size_t>(n - 1)]);
}

// A line that may start a model: a lone field.
bool starts_model(const Text& lines, int n) {
    const std::vector<std::string_view> f = fields_of(lines, n);
    return !ignored(f) && f.size() == 1;
}

// One model: the count line at `start`, its layer lines up to `end` (exclusive).
ParsedModel read_one(const Text& lines, int start, int end) {
    const std::string_view count = fields_of(lines, start)[0];
    const std::optional<int> nl = parse_whole(count);
    if (!nl || *nl < 1)
        throw FileRefusal(start,
                          "expected the number of layers, a whole number of at least 1, found " + in_quotes(count));
    ParsedModel m;
    m.line = start;
    for (int n = start + 1; n < end; ++n) {
        const std::vector<std::string_view> v = fields_of(lines, n);
        if (ignored(v)) continue;
        if (static_cast<int>(m.layers.size()) == *nl)
            throw FileRefusal(n, "more layers than the " + std::to_string(*nl) + " that line " + std::to_string(start) +
                                     " gives: expected the next model's number of layers");
        // Nine fields: a transversely isotropic layer, vp and vs its vertical velocities.
        const bool transverse = v.size() == 9;
        const char* expected = transverse ? "expected 9 numbers, thickness vpv vsv rho qs qp vph vsh eta, found "
                                          : "expected 4 to 6 numbers, thickness vp vs rho [qs [qp]], found ";
        if ((v.size() < 4 || v.size() > 6) && !transverse)
            throw FileRefusal(n, expected + std::to_string(v.size()) + " fields");
        double x[9] = {};
        for (std::size_t i = 0; i < v.size(); ++i) {
            const std::optional<double> number = parse_number(v[i]);
            if (!number) throw FileRefusal(n, expected + in_quotes(v[i]));
            x[i] = *number;
        }
        Layer layer{x[0], x[1], x[2], x[3]};
        layer.qs = x[4];
        layer.qp = x[5];
        if (transverse) {
            layer.vph = x[6];
            layer.vsh = x[7];
            layer.eta = x[8];
        }
        m.layers.push_back(layer);
        m.layer_lines.push_back(n);
    }
    if (static_cast<int>(m.layers.size()) < *nl)
        throw FileRefusal(
            end, "expected " + std::to_string(*nl) + " layers after line " + std::to_string(start) + ", found " +
                     std::to_string(m.layers.size()) +
                     (end > static_cast<int>(lines.size()) ? " before the file ends" : " before the next model"));
    if (m.layers.back().thickness != 0.0)
        throw FileRefusal(m.layer_lines.back(), "the last layer is the half-space: its thickness must be 0");
    return m;
}

}  // namespace

std::vector<std::variant<ParsedModel, FileRefusal>> read_model_list(const Text& lines, std::size_t most) {
    const int count = static_cast<int>(lines.size());
    std::vector<std::variant<ParsedModel, FileRefusal>> models;
    int start = 1;
    while (start <= count && ignored(fields_of(lines, start))) ++start;
    while (start <= count) {
        if (models.size() == most)
            throw FileRefusal(start, "more than " + std::to_string(max_models) + " models in one run: split the batch");
        int end = start + 1;
        while (end <= count && !starts_model(lines, end)) ++end;
        try {
            models.emplace_back(read_one(lines, start, end));
        } catch (const FileRefusal& r) {
            models.emplace_back(r);
        }
        start = end;
    }
    return models;
}

}  // namespace vemlari::detail::io
