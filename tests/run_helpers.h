#pragma once
// Runs of the real program in a scratch directory, for end-to-end tests.
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>

namespace vemlari::testing {

inline std::string read_file(const std::filesystem::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

inline void write_file(const std::filesystem::path& p, const std::string& text) {
    std::ofstream out(p, std::ios::binary);
    out << text;
}

inline std::filesystem::path examples_dir() { return std::filesystem::path(VEMLARI_SOURCE_DIR) / "examples"; }

// A fresh, empty directory below the system's temporary directory.
inline std::filesystem::path scratch_dir(const std::string& tag) {
    static std::mt19937_64 rng(std::random_device{}());
    auto dir = std::filesystem::temp_directory_path() / ("vemlari-" + tag + "-" + std::to_string(rng()));
    std::filesystem::create_directories(dir);
    return dir;
}

struct ProgramRun {
    std::filesystem::path dir;
    int status = -1;
    std::string console;
    std::string error;
    std::string file(const std::string& name) const { return read_file(dir / name); }
    bool has(const std::string& name) const { return std::filesystem::exists(dir / name); }
};

// Runs the vemlari executable in `dir` with `answers` on its standard input.
inline ProgramRun run_program(const std::filesystem::path& dir, const std::string& answers) {
    write_file(dir / "answers.in", answers);
    const std::string cmd =
        "cd '" + dir.string() + "' && '" + VEMLARI_EXE + "' < answers.in > console.out 2> error.out";
    const int raw = std::system(cmd.c_str());
    ProgramRun r;
    r.dir = dir;
    r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    r.console = read_file(dir / "console.out");
    r.error = read_file(dir / "error.out");
    return r;
}

// Runs an example model (examples/<model>.csv) with one of its answer files.
inline ProgramRun run_example(const std::string& model, const std::string& answers_file) {
    auto dir = scratch_dir(model);
    std::filesystem::copy_file(examples_dir() / (model + ".csv"), dir / (model + ".csv"));
    return run_program(dir, read_file(examples_dir() / answers_file));
}

}  // namespace vemlari::testing
