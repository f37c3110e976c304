#include "cli/model_input.h"

namespace vemlari::cli {

std::vector<ModelEntry> read_models(const std::string& argument, std::istream& standard_input, bool fastest_half_space,
                                    std::size_t room) {
    const ReadOptions options{fastest_half_space, room};
    std::vector<ModelRecord> records = argument == "-" ? vemlari::read_models(standard_input, "stdin", options)
                                                       : vemlari::read_models(argument, options);
    std::vector<ModelEntry> entries;
    entries.reserve(records.size());
    for (ModelRecord& r : records) {
        std::string name = r.count == 1 ? r.source : r.source + "#" + std::to_string(r.index);
        entries.push_back(
            {std::move(name), r.source, r.index, std::move(r.model), std::move(r.frequencies), std::move(r.refusal)});
    }
    return entries;
}

}  // namespace vemlari::cli
