#pragma once
// The models of one MODEL argument: a file, or standard input for "-", in any of the
// three formats, each model validated by the library.
#include <istream>
#include <optional>
#include <string>
#include <vector>

#include "cli/model_formats.h"
#include "vemlari/frequencies.h"
#include "vemlari/model.h"

namespace vemlari::cli {

struct ModelEntry {
    // As the table shows it: the argument ("stdin" for "-"), with "#k" after it in a file
    // of several models.
    std::string name;
    std::optional<Model> model;  // empty: refused
    std::optional<Frequencies> grid;  // the file's own frequencies, if it gives them
    // Why the model was refused: "file:line: what was expected" (or "file: ...").
    std::string refusal;
};

// With `fastest_half_space`, a model whose half-space is not its fastest layer is refused too
// (the scan's rule). An input of more than `room` models (what the run's max_models leaves)
// is refused whole.
std::vector<ModelEntry> read_models(const std::string& argument, std::istream& standard_input,
                                    bool fastest_half_space = false, std::size_t room = max_models);

}  // namespace vemlari::cli
