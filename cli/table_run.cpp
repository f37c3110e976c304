#include "cli/table_run.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <filesystem>

#include "cli/interrupts.h"
#include "cli/progress.h"
#include "cli/table_output.h"
#include "vemlari/error.h"
#include "vemlari/threads.h"

namespace vemlari::cli {

namespace {

// The model argument that -o names too, by any path or link; empty for none.
std::string model_replaced(const Common& common) {
    if (common.output.empty()) return {};
    for (const std::string& model : common.models) {
        std::error_code ec;
        if (model != "-" && std::filesystem::equivalent(common.output, model, ec)) return model;
    }
    return {};
}

// Ends the batch at the first block that cannot be written.
struct WriteFailure {};

}  // namespace

int run_table(const Common& common, const TableJob& job, std::istream& in, std::ostream& out, std::ostream& err,
              bool terminal) {
    const bool shown = terminal && !common.quiet;
    const InterruptExit interrupts(shown);
    if (const std::string model = model_replaced(common); !model.empty()) {
        err << "vemlari: -o " << common.output << " would replace the model file " << model
            << ": write the table elsewhere\n";
        return 2;
    }
    TableOutput output(common.output, out);
    if (!output.open()) {
        err << "vemlari: " << output.failure() << "\n";
        return 2;
    }

    std::vector<ModelEntry> entries;
    for (const std::string& argument : common.models) {
        const std::size_t room = max_models - std::min(max_models, entries.size());
        for (ModelEntry& e : read_models(argument, in, job.fastest_half_space, room)) entries.push_back(std::move(e));
    }

    std::size_t frequencies = 0;
    for (const ModelEntry& e : entries)
        if (e.model) frequencies += job.frequencies(e);
    Progress progress(err, shown, entries.size(), frequencies);
    errno = 0;
    TableWriter table(output.stream(), common.format, job.columns);
    std::vector<std::string> refused;

    // What a model gives, held from its computation to its delivery: its blocks, or why it
    // was refused.
    struct Outcome {
        std::vector<Block> blocks;
        std::string refusal;
    };
    std::vector<Outcome> outcomes(entries.size());
    auto compute = [&](std::size_t i, int threads) {
        const ModelEntry& e = entries[i];
        Outcome& o = outcomes[i];
        if (!e.model) {
            o.refusal = e.refusal;
            return;
        }
        try {
            o.blocks = job.compute(e, threads, [&] { progress.frequency_done(); });
        } catch (const Error& error) {
            if (error.rule() == Error::Rule::cancelled) throw;
            o.refusal = e.name + ": " + error.what();
        } catch (const Refusal& r) {
            o.refusal = e.name + ": " + r.what();
        }
    };
    auto deliver = [&](std::size_t i) {
        Outcome o = std::move(outcomes[i]);
        progress.model_done();
        if (!o.refusal.empty()) {
            progress.message("vemlari: " + o.refusal);
            refused.push_back(entries[i].name);
            return true;
        }
        for (Block& b : o.blocks) {
            b.file = entries[i].file;
            b.index = entries[i].index;
            errno = 0;
            table.write(b);
            if (!output.good()) throw WriteFailure{};
        }
        return true;
    };
    try {
        const CancellableSpan watched;
        if (output.good())
            run_model_batch(entries.size(), common.threads, {compute, deliver, [&] { progress.tick(); }});
    } catch (const WriteFailure&) {
    } catch (const Error& e) {
        if (e.rule() != Error::Rule::cancelled) throw;
    }
    if (const int signal = interrupt_signal()) {
        progress.message(std::string("vemlari: interrupted by ") + (signal == SIGINT ? "SIGINT" : "SIGTERM"));
        output.close(false);
        return 128 + signal;
    }
    if (output.good()) {
        errno = 0;
        table.finish();
        output.good();
    }
    progress.finish();

    // A file gets no table of refusals alone: it is left as it was.
    if (!output.close(refused.size() < entries.size())) {
        err << "vemlari: " << output.failure() << "\n";
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
