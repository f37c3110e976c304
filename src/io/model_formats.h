#pragma once
// The three model-file formats, each read from the file's lines. A reader returns the
// layers as the file gives them (SI units), not yet validated, and throws FileRefusal
// for what it cannot read.
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "io/model_text.h"
#include "vemlari/frequencies.h"
#include "vemlari/model.h"
#include "vemlari/model_files.h"

namespace vemlari::detail::io {

struct ParsedModel {
    int line = 1;  // where the model starts
    std::vector<Layer> layers;
    std::vector<int> layer_lines;  // the line of each layer
    // The frequencies the file itself gives (the program's model file: dt, nt and period).
    std::optional<Frequencies> grid;
};

enum class ModelFormat { program_file, model96, model_list };

// By content: model96 starts with its version tag ("MODEL.01"); a list of models with a
// lone whole number (blank and "#" lines aside); anything else is the program's file.
ModelFormat recognise(const Text& lines);

// The program's CSV model file, read by the dialogue's own free-form rules.
ParsedModel read_program_file(const Text& lines);
// The model96 text format: km, km/s, g/cm3 and quality factors or their inverses.
ParsedModel read_model96(const Text& lines);
// A list of models: per model a line with its number of layers, then one line per layer
// "thickness vp vs rho" (SI), optionally followed by the quality factors qs and qp, or
// "thickness vpv vsv rho qs qp vph vsh eta" for a transversely isotropic layer
// (vemlari/model.h: Layer; qs, qp 0: elastic). A model that cannot be read is refused on its
// own; the next one starts at the next line holding a lone field. A list of more than `most` models
// is refused whole, at the first line past them (FileRefusal).
std::vector<std::variant<ParsedModel, FileRefusal>> read_model_list(const Text& lines, std::size_t most);

}  // namespace vemlari::detail::io
