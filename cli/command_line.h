#pragma once
// vemlari with arguments: the subcommands for scripts, pipelines and batches.
#include <istream>
#include <ostream>

namespace vemlari::cli {

// The exit status: 0 done, 1 a model refused, 2 a wrong command line or an unwritable output,
// 3 a run that failed (out of memory); SIGINT and SIGTERM exit with 130 and 143.
// `terminal`: standard error is a terminal, where the progress line may show.
int run_command_line(int argc, const char* const* argv, std::istream& in, std::ostream& out, std::ostream& err,
                     bool terminal);

}  // namespace vemlari::cli
