#pragma once
// Runs of `vemlari` with arguments, and the CSV tables they write, for the command-line tests.
#include <filesystem>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "tests/run_helpers.h"

namespace vemlari::testing {

struct CliRun {
    int status = -1;
    std::string out, err;
};

// Runs `vemlari <args>` in `dir`, standard input from `input` (a path) or empty.
inline CliRun run_cli(const std::filesystem::path& dir, const std::string& args, const std::string& input = {}) {
    const std::string cmd = "cd '" + dir.string() + "' && '" + VEMLARI_EXE + "' " + args + " > cli.out 2> cli.err < " +
                            (input.empty() ? std::string("/dev/null") : "'" + input + "'");
    const int raw = std::system(cmd.c_str());
    return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, read_file(dir / "cli.out"), read_file(dir / "cli.err")};
}

// The program in a command of run_shell.
inline const std::string program = "\"$V\"";

// Runs a shell command in `dir` in which `program` names vemlari, standard output and error
// to cli.out and cli.err unless the command sends them elsewhere.
inline CliRun run_shell(const std::filesystem::path& dir, const std::string& command) {
    const std::string cmd = "cd '" + dir.string() + "' && V='" + VEMLARI_EXE + "' && { " + command +
                            "\n} > cli.out 2> cli.err < /dev/null";
    const int raw = std::system(cmd.c_str());
    return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, read_file(dir / "cli.out"), read_file(dir / "cli.err")};
}

inline std::string example(const std::string& name) { return "'" + (examples_dir() / name).string() + "'"; }

inline std::vector<std::string> split(const std::string& s, char by) {
    std::vector<std::string> parts;
    std::string part;
    std::istringstream in(s);
    while (std::getline(in, part, by)) parts.push_back(part);
    if (!s.empty() && s.back() == by) parts.emplace_back();
    return parts;
}

// The rows of a CSV table (header left out) by their model column, each row without it.
inline std::map<std::string, std::vector<std::string>> rows_by_model(const std::string& table) {
    std::map<std::string, std::vector<std::string>> rows;
    std::vector<std::string> lines = split(table, '\n');
    for (std::size_t i = 1; i < lines.size(); ++i) {
        if (lines[i].empty()) continue;
        const std::size_t comma = lines[i].find(',');
        rows[lines[i].substr(0, comma)].push_back(lines[i].substr(comma + 1));
    }
    return rows;
}

}  // namespace vemlari::testing
