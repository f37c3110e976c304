#include "cli/command_line.h"

#include "cli/arguments.h"
#include "cli/commands.h"

namespace vemlari::cli {

int run_command_line(int argc, const char* const* argv, std::istream& in, std::ostream& out, std::ostream& err,
                     bool terminal) {
    std::variant<Request, int> parsed = parse_arguments(argc, argv, out, err);
    if (const int* status = std::get_if<int>(&parsed)) return *status;
    const Request& r = std::get<Request>(parsed);
    if (const auto* m = std::get_if<ModesRequest>(&r)) return run_modes(*m, in, out, err, terminal);
    if (const auto* k = std::get_if<KernelsRequest>(&r)) return run_kernels(*k, in, out, err, terminal);
    if (const auto* e = std::get_if<EigenRequest>(&r)) return run_eigen(*e, in, out, err, terminal);
    return run_secular(std::get<SecularRequest>(r), in, out, err, terminal);
}

}  // namespace vemlari::cli
