// The models of a file or stream, in whichever of the three formats it holds.
#include <cerrno>
#include <cstring>
#include <fstream>
#include <ios>
#include <system_error>

#include "io/model_formats.h"
#include "vemlari/model_files.h"

namespace vemlari {

using namespace detail;

namespace detail::io {

ModelFormat recognise(const Text& lines) {
    if (lines.size() > 0 && keyword(lines[0]).starts_with("MODEL.")) return ModelFormat::model96;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::vector<std::string_view> f = fields(lines[i]);
        if (f.empty() || f[0].front() == '#') continue;
        return f.size() == 1 && parse_whole(f[0]) ? ModelFormat::model_list : ModelFormat::program_file;
    }
    return ModelFormat::program_file;
}

}  // namespace detail::io

namespace {

using namespace io;

std::string located(const std::string& source, int line, const std::string& what) {
    return line > 0 ? source + ":" + std::to_string(line) + ": " + what : source + ": " + what;
}

// The library validates; its refusal names the layer, which names the line.
ModelRecord validated(const std::string& source, ParsedModel&& p, bool fastest_half_space) {
    ModelRecord r;
    r.source = source;
    try {
        Model model(std::move(p.layers));
        if (fastest_half_space) check_half_space_fastest(model);
        r.model.emplace(std::move(model));
        r.frequencies = std::move(p.grid);
    } catch (const Error& err) {
        const int line = err.layer() > 0 ? p.layer_lines[static_cast<std::size_t>(err.layer() - 1)] : p.line;
        r.refusal = located(source, line, err.what());
    }
    return r;
}

ModelRecord refused(const std::string& source, int line, const std::string& what) {
    ModelRecord r;
    r.source = source;
    r.refusal = located(source, line, what);
    return r;
}

// The system's reason for a failed read (a folder: "Is a directory").
std::string reason(const std::ios_base::failure& f) {
    const std::error_category& c = f.code().category();
    return c == std::system_category() || c == std::generic_category() ? f.code().message() : f.what();
}

std::vector<ModelRecord> models_of(const Text& lines, const std::string& source, const ReadOptions& o) {
    bool blank = true;
    for (std::size_t i = 0; i < lines.size() && blank; ++i) blank = fields(lines[i]).empty();
    if (blank) return {refused(source, 0, "the file is empty: expected a model")};

    const ModelFormat format = recognise(lines);
    if (format == ModelFormat::model_list) {
        std::vector<std::variant<ParsedModel, FileRefusal>> list;
        try {
            list = read_model_list(lines, o.most);
        } catch (const FileRefusal& r) {
            return {refused(source, r.line(), r.what())};
        }
        std::vector<ModelRecord> records;
        for (std::size_t k = 0; k < list.size(); ++k) {
            if (auto* r = std::get_if<FileRefusal>(&list[k])) {
                records.push_back(refused(source, r->line(), r->what()));
            } else {
                records.push_back(validated(source, std::get<ParsedModel>(std::move(list[k])), o.fastest_half_space));
            }
            records.back().index = k + 1;
            records.back().count = list.size();
        }
        return records;
    }
    if (o.most == 0)
        return {refused(source, 0, "more than " + std::to_string(max_models) + " models in one run: split the batch")};
    try {
        return {validated(source, format == ModelFormat::model96 ? read_model96(lines) : read_program_file(lines),
                          o.fastest_half_space)};
    } catch (const FileRefusal& r) {
        return {refused(source, r.line(), r.what())};
    }
}

}  // namespace

std::vector<ModelRecord> read_models(std::istream& in, const std::string& name, const ReadOptions& options) {
    Text lines;
    try {
        lines = read_lines(in);
    } catch (const FileRefusal& r) {
        return {refused(name, r.line(), r.what())};
    } catch (const std::ios_base::failure& f) {
        return {refused(name, 0, "cannot read: " + reason(f))};
    }
    return models_of(lines, name, options);
}

std::vector<ModelRecord> read_models(const std::string& path, const ReadOptions& options) {
    errno = 0;
    std::ifstream in(path, std::ios::binary);
    if (!in) return {refused(path, 0, std::string("cannot open: ") + std::strerror(errno))};
    return read_models(in, path, options);
}

}  // namespace vemlari
