#include "cli/model_input.h"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <ios>
#include <system_error>

#include "cli/model_formats.h"

namespace vemlari::cli {

namespace {

std::string located(const std::string& file, int line, const std::string& what) {
    return line > 0 ? file + ":" + std::to_string(line) + ": " + what : file + ": " + what;
}

// The library validates; its refusal names the layer, which names the line.
ModelEntry validated(const std::string& file, std::string name, ParsedModel&& p, bool fastest_half_space) {
    ModelEntry e;
    e.name = std::move(name);
    try {
        Model model(std::move(p.layers));
        if (fastest_half_space) check_half_space_fastest(model);
        e.model.emplace(std::move(model));
        e.grid = std::move(p.grid);
    } catch (const Error& err) {
        const int line = err.layer() > 0 ? p.layer_lines[static_cast<std::size_t>(err.layer() - 1)] : p.line;
        e.refusal = located(file, line, err.what());
    }
    return e;
}

ModelEntry refused(const std::string& file, std::string name, int line, const std::string& what) {
    ModelEntry e;
    e.name = std::move(name);
    e.refusal = located(file, line, what);
    return e;
}

// The system's reason for a failed read (a folder: "Is a directory").
std::string reason(const std::ios_base::failure& f) {
    const std::error_category& c = f.code().category();
    return c == std::system_category() || c == std::generic_category() ? f.code().message() : f.what();
}

}  // namespace

ModelFormat recognise(const Text& lines) {
    if (lines.size() > 0 && keyword(lines[0]).starts_with("MODEL.")) return ModelFormat::model96;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::vector<std::string_view> f = fields(lines[i]);
        if (f.empty() || f[0].front() == '#') continue;
        return f.size() == 1 && parse_whole(f[0]) ? ModelFormat::model_list : ModelFormat::program_file;
    }
    return ModelFormat::program_file;
}

std::vector<ModelEntry> read_models(const std::string& argument_as_given, std::istream& standard_input,
                                    bool fastest_half_space, std::size_t room) {
    const bool piped = argument_as_given == "-";
    const std::string argument = piped ? "stdin" : argument_as_given;
    Text lines;
    try {
        if (piped) {
            lines = read_lines(standard_input);
        } else {
            errno = 0;
            std::ifstream in(argument, std::ios::binary);
            if (!in) return {refused(argument, argument, 0, std::string("cannot open: ") + std::strerror(errno))};
            lines = read_lines(in);
        }
    } catch (const FileRefusal& r) {
        return {refused(argument, argument, r.line(), r.what())};
    } catch (const std::ios_base::failure& f) {
        return {refused(argument, argument, 0, "cannot read: " + reason(f))};
    }
    bool blank = true;
    for (std::size_t i = 0; i < lines.size() && blank; ++i) blank = fields(lines[i]).empty();
    if (blank) return {refused(argument, argument, 0, "the file is empty: expected a model")};

    const ModelFormat format = recognise(lines);
    if (format == ModelFormat::model_list) {
        std::vector<std::variant<ParsedModel, FileRefusal>> list;
        try {
            list = read_model_list(lines, room);
        } catch (const FileRefusal& r) {
            return {refused(argument, argument, r.line(), r.what())};
        }
        std::vector<ModelEntry> entries;
        for (std::size_t k = 0; k < list.size(); ++k) {
            const std::string name = list.size() == 1 ? argument : argument + "#" + std::to_string(k + 1);
            if (auto* r = std::get_if<FileRefusal>(&list[k])) {
                entries.push_back(refused(argument, name, r->line(), r->what()));
            } else {
                entries.push_back(validated(argument, name, std::get<ParsedModel>(std::move(list[k])), fastest_half_space));
            }
        }
        return entries;
    }
    if (room == 0)
        return {refused(argument, argument, 0,
                        "more than " + std::to_string(max_models) + " models in one run: split the batch")};
    try {
        return {validated(argument, argument,
                          format == ModelFormat::model96 ? read_model96(lines) : read_program_file(lines),
                          fastest_half_space)};
    } catch (const FileRefusal& r) {
        return {refused(argument, argument, r.line(), r.what())};
    }
}

}  // namespace vemlari::cli
