#pragma once
// Runs of `vemlari` with arguments, and the CSV tables they write, for the command-line tests.
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <map>
#include <sstream>
#include <string>
#include <thread>
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
    const std::string cmd =
        "cd '" + dir.string() + "' && V='" + VEMLARI_EXE + "' && { " + command + "\n} > cli.out 2> cli.err < /dev/null";
    const int raw = std::system(cmd.c_str());
    return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, read_file(dir / "cli.out"), read_file(dir / "cli.err")};
}

// Starts `vemlari <args>` in `dir` without waiting for it: standard input from `input` (a
// descriptor), standard output and error to cli.out and cli.err.
inline pid_t start_cli(const std::filesystem::path& dir, const std::vector<std::string>& args, int input) {
    std::vector<const char*> argv{VEMLARI_EXE};
    for (const std::string& a : args) argv.push_back(a.c_str());
    argv.push_back(nullptr);
    const std::string out = (dir / "cli.out").string(), err = (dir / "cli.err").string();
    const pid_t pid = fork();
    if (pid == 0) {
        const int o = ::open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        const int e = ::open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (o < 0 || e < 0 || dup2(input, 0) < 0 || dup2(o, 1) < 0 || dup2(e, 2) < 0 || chdir(dir.c_str()) != 0)
            _exit(127);
        execv(VEMLARI_EXE, const_cast<char* const*>(argv.data()));
        _exit(127);
    }
    return pid;
}

// Waits for a run that start_cli began.
inline CliRun finish_cli(const std::filesystem::path& dir, pid_t pid) {
    int raw = 0;
    waitpid(pid, &raw, 0);
    return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, read_file(dir / "cli.out"), read_file(dir / "cli.err")};
}

// Whether `condition` holds within a minute, asked every 10 ms.
inline bool eventually(const std::function<bool()>& condition) {
    for (int i = 0; i < 6000; ++i) {
        if (condition()) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
}

inline std::string example(const std::string& name) {
    std::string quoted(1, '\'');
    quoted += (examples_dir() / name).string();
    quoted += '\'';
    return quoted;
}

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
