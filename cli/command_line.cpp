#include "cli/command_line.h"

#include <exception>
#include <new>

#include "cli/arguments.h"
#include "cli/commands.h"

namespace vemlari::cli {

namespace {

constexpr int run_failed = 3;

int run_request(const Request& r, std::istream& in, std::ostream& out, std::ostream& err, bool terminal) {
    if (const auto* m = std::get_if<ModesRequest>(&r)) return run_modes(*m, in, out, err, terminal);
    if (const auto* k = std::get_if<KernelsRequest>(&r)) return run_kernels(*k, in, out, err, terminal);
    if (const auto* e = std::get_if<EigenRequest>(&r)) return run_eigen(*e, in, out, err, terminal);
    return run_secular(std::get<SecularRequest>(r), in, out, err, terminal);
}

}  // namespace

int run_command_line(int argc, const char* const* argv, std::istream& in, std::ostream& out, std::ostream& err,
                     bool terminal) {
    // A failure the run cannot refuse a model for ends it with a status of its own, the
    // output file left as it was, instead of an abort.
    try {
        std::variant<Request, int> parsed = parse_arguments(argc, argv, out, err);
        if (const int* status = std::get_if<int>(&parsed)) return *status;
        return run_request(std::get<Request>(parsed), in, out, err, terminal);
    } catch (const std::bad_alloc&) {
        err << "vemlari: out of memory\n";
    } catch (const std::exception& e) {
        err << "vemlari: " << e.what() << "\n";
    }
    return run_failed;
}

}  // namespace vemlari::cli
