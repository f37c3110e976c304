#pragma once
// The models of one MODEL argument: a file, or standard input for "-", read by the library
// (vemlari/model_files.h).
#include <cstddef>
#include <istream>
#include <optional>
#include <string>
#include <vector>

#include "vemlari/frequencies.h"
#include "vemlari/model.h"
#include "vemlari/model_files.h"

namespace vemlari::cli {

struct ModelEntry {
    // As the table shows it: the argument ("stdin" for "-"), with "#k" after it in a file
    // of several models; and the two apart, the file and k (1 for a file of one model).
    std::string name;
    std::string file;
    std::size_t index = 1;
    std::optional<Model> model;       // empty: refused
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
