#pragma once
// What the subcommands share: open the output, read every model, compute the models on the
// threads, write their blocks in order, report refusals and progress.
#include <cstddef>
#include <functional>
#include <istream>
#include <ostream>
#include <stdexcept>
#include <string>
#include <vector>

#include "cli/model_input.h"
#include "cli/requests.h"
#include "cli/table.h"

namespace vemlari::cli {

// A model that a subcommand cannot serve, for a reason of its own (the library's are Errors).
class Refusal : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct TableJob {
    std::vector<std::string> columns;
    // The blocks of one validated model; throws vemlari::Error or Refusal to refuse it.
    // frequency_done() counts one frequency of the model's work as done.
    std::function<std::vector<Block>(const ModelEntry&, int threads, const std::function<void()>& frequency_done)>
        compute;
    // Frequencies of a model's work, for the progress line (0: not counted).
    std::function<std::size_t(const ModelEntry&)> frequencies;
    // The scan: models whose half-space is not the fastest layer are refused as read.
    bool fastest_half_space = false;
};

// Returns the exit status: 0, 1 when a model was refused, 2 when the output cannot be written
// or would replace a model file; 128 + the signal after SIGINT or SIGTERM (interrupts.h).
int run_table(const Common& common, const TableJob& job, std::istream& in, std::ostream& out, std::ostream& err,
              bool terminal);

}  // namespace vemlari::cli
