#include "cli/table_run.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fstream>

#include "cli/progress.h"
#include "vemlari/error.h"

namespace vemlari::cli {

int run_table(const Common& common, const TableJob& job, std::istream& in, std::ostream& out, std::ostream& err,
              bool terminal) {
    std::vector<ModelEntry> entries;
    for (const std::string& argument : common.models) {
        const std::size_t room = max_models - std::min(max_models, entries.size());
        for (ModelEntry& e : read_models(argument, in, job.fastest_half_space, room)) entries.push_back(std::move(e));
    }

    std::ofstream file;
    if (!common.output.empty()) {
        errno = 0;
        file.open(common.output, std::ios::binary | std::ios::trunc);
        if (!file) {
            err << "vemlari: cannot write " << common.output << ": " << std::strerror(errno) << "\n";
            return 2;
        }
    }
    std::ostream& table_out = common.output.empty() ? out : file;

    std::size_t frequencies = 0;
    for (const ModelEntry& e : entries)
        if (e.model) frequencies += job.frequencies(e);
    Progress progress(err, terminal && !common.quiet, entries.size(), frequencies);
    TableWriter table(table_out, common.format, job.columns);
    std::vector<std::string> refused;

    auto compute = [&](std::size_t i, int threads) {
        const ModelEntry& e = entries[i];
        Outcome o;
        if (!e.model) {
            o.refusal = e.refusal;
            return o;
        }
        try {
            o.blocks = job.compute(e, threads, [&] { progress.frequency_done(); });
        } catch (const Error& error) {
            o.refusal = e.name + ": " + error.what();
        } catch (const Refusal& r) {
            o.refusal = e.name + ": " + r.what();
        }
        return o;
    };
    auto deliver = [&](std::size_t i, Outcome& o) {
        progress.model_done();
        if (!o.refusal.empty()) {
            progress.message("vemlari: " + o.refusal);
            refused.push_back(entries[i].name);
            return;
        }
        for (const Block& b : o.blocks) table.write(b);
    };
    run_batch(entries.size(), common.threads, compute, deliver, [&] { progress.tick(); });
    table.finish();
    progress.finish();

    if (!table_out) {
        err << "vemlari: cannot write " << (common.output.empty() ? "the standard output" : common.output) << "\n";
        return 2;
    }
    if (refused.empty()) return 0;
    if (entries.size() == 1) return 1;
    std::string list;
    for (const std::string& name : refused) list += (list.empty() ? "" : ", ") + name;
    err << "vemlari: refused " << refused.size() << " of " << entries.size() << " models: " << list << "\n";
    return 1;
}

}  // namespace vemlari::cli
