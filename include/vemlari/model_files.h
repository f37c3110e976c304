#pragma once
// Models read from text files, in three formats recognised by their content:
// - the interactive program's model file (a CSV table of layers with the program's
//   frequency grid: dt, nt and the shortest period), read by the program's own free-form
//   rules, so that the same file gives the same doubles;
// - model96: km, km/s, g/cm3, quality factors (or their inverses), converted to SI by
//   moving the decimal point (2.6 km/s is exactly 2600 m/s);
// - a list of models, for batches: per model a line with its number of layers, then per
//   layer "thickness vp vs rho [qs [qp]]" in m, m/s, kg/m3, the half-space last with
//   thickness 0. Values are separated by blanks, tabs or commas; blank lines and lines
//   starting with '#' are skipped.
// Every model is validated as Model validates it. What cannot be read, or is invalid, comes
// back as a refused record naming the source, the line and what was expected there; the
// readers throw nothing but std::bad_alloc. Inputs are bounded: a line longer than 1 MiB,
// an input longer than 64 MiB or more than `most` models is refused.
#include <cstddef>
#include <istream>
#include <optional>
#include <string>
#include <vector>

#include "vemlari/frequencies.h"
#include "vemlari/model.h"

namespace vemlari {

// The most models one read returns by default, refused past it, so that a list of tiny or
// malformed models cannot fill the memory with records.
inline constexpr std::size_t max_models = 1000000;

struct ModelRecord {
    std::string source;                      // the path, or the name given with a stream
    std::size_t index = 1;                   // the model's place in its source, from 1
    std::size_t count = 1;                   // the models of the source (refused ones too)
    std::optional<Model> model;              // empty: refused
    std::optional<Frequencies> frequencies;  // the grid the program's model file gives
    // Why the model was refused: "source:line: what was expected", "source: ..." for the
    // file as a whole, with the library's message (naming the layer) for an invalid model.
    std::string refusal;
};

struct ReadOptions {
    // Refuse a model whose half-space is not its fastest layer (the scan's rule,
    // check_half_space_fastest).
    bool fastest_half_space = false;
    // More models than this refuse the whole source.
    std::size_t most = max_models;
};

// Whether nt is a power of 2 (halving it reaches exactly 1): the program's model file
// must give its sample count so, and the program checks it as read_models does.
bool power_of_two(int nt);

// The models of the file at `path` (a file that cannot be opened or read: one refused record).
std::vector<ModelRecord> read_models(const std::string& path, const ReadOptions& options = {});
// The models of a stream, `name` standing for it in the records and messages.
std::vector<ModelRecord> read_models(std::istream& in, const std::string& name, const ReadOptions& options = {});

}  // namespace vemlari
