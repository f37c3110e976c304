#pragma once
// The subcommands. Each returns the exit status (see run_table).
#include <istream>
#include <ostream>

#include "cli/requests.h"

namespace vemlari::cli {

int run_modes(const ModesRequest& r, std::istream& in, std::ostream& out, std::ostream& err, bool terminal);
int run_kernels(const KernelsRequest& r, std::istream& in, std::ostream& out, std::ostream& err, bool terminal);
int run_eigen(const EigenRequest& r, std::istream& in, std::ostream& out, std::ostream& err, bool terminal);
int run_secular(const SecularRequest& r, std::istream& in, std::ostream& out, std::ostream& err, bool terminal);

}  // namespace vemlari::cli
