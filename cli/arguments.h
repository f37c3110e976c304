#pragma once
// The command line: subcommands modes, eigen and secular, their options and help texts.
#include <ostream>
#include <variant>

#include "cli/requests.h"

namespace vemlari::cli {

// The request, or the exit status when parsing ends the run: 0 after --help or --version,
// 2 for a command line that is wrong (its message on `err`).
std::variant<Request, int> parse_arguments(int argc, const char* const* argv, std::ostream& out, std::ostream& err);

}  // namespace vemlari::cli
