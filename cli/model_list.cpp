// A list of models, one after another: for thousands of models in one file or pipe.
#include "cli/model_formats.h"

namespace vemlari::cli {

namespace {

bool ignored(const std::vector<std::string_view>& f) { return f.empty() || f[0].front() == '#'; }

// One model: the count line at `start`, its layer lines up to `end` (exclusive).
ParsedModel read_one(const std::vector<std::vector<std::string_view>>& f, int start, int end) {
    const std::optional<int> nl = parse_whole(f[static_cast<std::size_t>(start - 1)][0]);
    if (!nl || *nl < 1)
        throw FileRefusal(start, "expected the number of layers, a whole number of at least 1, found " +
                                     in_quotes(f[static_cast<std::size_t>(start - 1)][0]));
    ParsedModel m;
    m.line = start;
    for (int n = start + 1; n < end; ++n) {
        const std::vector<std::string_view>& v = f[static_cast<std::size_t>(n - 1)];
        if (ignored(v)) continue;
        if (static_cast<int>(m.layers.size()) == *nl)
            throw FileRefusal(n, "more layers than the " + std::to_string(*nl) + " that line " + std::to_string(start) +
                                     " gives: expected the next model's number of layers");
        if (v.size() != 4)
            throw FileRefusal(n, "expected 4 numbers, thickness vp vs rho, found " + std::to_string(v.size()) +
                                     " fields");
        double x[4];
        for (std::size_t i = 0; i < 4; ++i) {
            const std::optional<double> number = parse_number(v[i]);
            if (!number) throw FileRefusal(n, "expected 4 numbers, thickness vp vs rho, found " + in_quotes(v[i]));
            x[i] = *number;
        }
        m.layers.push_back({x[0], x[1], x[2], x[3]});
        m.layer_lines.push_back(n);
    }
    if (static_cast<int>(m.layers.size()) < *nl)
        throw FileRefusal(end, "expected " + std::to_string(*nl) + " layers after line " + std::to_string(start) + ", found " +
                                   std::to_string(m.layers.size()) +
                                   (end > static_cast<int>(f.size()) ? " before the file ends" : " before the next model"));
    if (m.layers.back().thickness != 0.0)
        throw FileRefusal(m.layer_lines.back(), "the last layer is the half-space: its thickness must be 0");
    return m;
}

}  // namespace

std::vector<std::variant<ParsedModel, FileRefusal>> read_model_list(const std::vector<std::string>& lines) {
    std::vector<std::vector<std::string_view>> f;
    for (const std::string& l : lines) f.push_back(fields(l));
    const int count = static_cast<int>(f.size());
    std::vector<std::variant<ParsedModel, FileRefusal>> models;
    int start = 1;
    while (start <= count && ignored(f[static_cast<std::size_t>(start - 1)])) ++start;
    while (start <= count) {
        int end = start + 1;
        while (end <= count && (ignored(f[static_cast<std::size_t>(end - 1)]) || f[static_cast<std::size_t>(end - 1)].size() != 1)) ++end;
        try {
            models.emplace_back(read_one(f, start, end));
        } catch (const FileRefusal& r) {
            models.emplace_back(r);
        }
        start = end;
    }
    return models;
}

}  // namespace vemlari::cli
