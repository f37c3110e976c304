// libFuzzer harness over the readers, in process. The first byte picks the reader:
//   '0' (and every byte ≡ 0 mod 4): the free-form reader on the keyboard, read as the dialogue reads;
//   '1': the dialogue's input stage, model file before the first NUL byte, answers after it;
//   '2': the command line's model formats, as standard input;
//   '3': the command line's options, one argument between NUL bytes (parsed only: nothing is
//        read or written but the help and messages, into strings).
// Refusals are the expected outcome; anything else (a crash, a sanitizer report, an
// exception of another type, a read that never ends) is a finding.
#include <unistd.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "cli/arguments.h"
#include "cli/model_input.h"
#include "program/list_input.h"
#include "program/run.h"
#include "records/run_stop.h"
#include "records/streams.h"
#include "vemlari/error.h"

namespace {

using namespace vemlari;

// The model file lives in a private temporary folder, never in the working tree.
const std::filesystem::path& folder() {
    static const std::filesystem::path dir = [] {
        std::string pattern = (std::filesystem::temp_directory_path() / "vemlari-fuzz-XXXXXX").string();
        if (mkdtemp(pattern.data()) == nullptr) std::abort();
        std::atexit([] { std::filesystem::remove_all(folder()); });
        return std::filesystem::path(pattern);
    }();
    return dir;
}

void free_form(std::string_view text) {
    std::istringstream keyboard{std::string(text)};
    std::ostringstream console, error;
    Streams st(keyboard, console, error, folder());
    try {
        for (int round = 0; round < 4; ++round) {
            int i = 0, n = 0;
            double x = 0.0, y = 0.0, z = 0.0;
            read_list(st, unit::keyboard, {i});
            read_list(st, unit::keyboard, {x, n});
            read_list(st, unit::keyboard, {n, x, y, i, z, x, y, z, x});
            (void)read_name(st, unit::keyboard);
            skip_line(st, unit::keyboard);
        }
    } catch (const StreamFailure&) {
    }
}

void input_stage(std::string_view data) {
    const std::size_t nul = data.find('\0');
    const std::string_view model = data.substr(0, nul);
    const std::string answers =
        nul == std::string_view::npos ? "0\n0.001\n100\n10\n" : std::string(data.substr(nul + 1));
    if (std::FILE* f = std::fopen((folder() / "m.csv").c_str(), "wb")) {
        std::fwrite(model.data(), 1, model.size(), f);
        std::fclose(f);
    } else {
        std::abort();
    }
    std::istringstream keyboard("m.csv\n" + answers);
    std::ostringstream console, error;
    auto run = std::make_unique<Run>(keyboard, console, error, folder(), 1);
    try {
        try {
            indat(mom, *run);
        } catch (const RunStop&) {
        }
        run->streams.close_all();
    } catch (const StreamFailure&) {
    }
}

void model_formats(std::string_view text) {
    std::istringstream in{std::string(text)};
    (void)cli::read_models("-", in);
}

void arguments(std::string_view text) {
    std::vector<std::string> fields{"vemlari"};
    for (std::size_t start = 0; start <= text.size();) {
        const std::size_t end = std::min(text.find('\0', start), text.size());
        fields.emplace_back(text.substr(start, end - start));
        start = end + 1;
    }
    std::vector<const char*> argv;
    for (const std::string& f : fields) argv.push_back(f.c_str());
    std::ostringstream out, err;
    (void)cli::parse_arguments(static_cast<int>(argv.size()), argv.data(), out, err);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const std::string_view rest(reinterpret_cast<const char*>(data) + 1, size - 1);
    switch (data[0] % 4) {
        case 0:
            free_form(rest);
            break;
        case 1:
            input_stage(rest);
            break;
        case 2:
            model_formats(rest);
            break;
        default:
            arguments(rest);
            break;
    }
    return 0;
}
