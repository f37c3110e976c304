#pragma once
// The tidy table every subcommand writes: columns model and wave, then numbers. CSV has a
// header row and one row per entry; JSON an array with one object per model and wave,
// each column an array. The row formats, a JSON array of one object per row (records) and
// JSON Lines (one such object a line), name the model by two fields, file and index (its
// place in the file, from 1), instead of "file#index". Blocks are written in the order they
// come.
#include <ostream>
#include <string>
#include <vector>

#include "vemlari/options.h"

namespace vemlari::cli {

enum class Format { csv, json, records, jsonl };

// The rows of one model and wave. values[c] holds column c of every row, or nothing where
// the column does not apply to the wave (an empty CSV cell, null in JSON).
struct Block {
    std::string model;
    Wave wave = Wave::love;
    std::size_t rows = 0;
    std::vector<std::vector<double>> values;
    // The model's file and its place there, from 1 (model is "file#index" in a file of several).
    std::string file = {};
    std::size_t index = 1;
};

class TableWriter {
public:
    TableWriter(std::ostream& out, Format format, std::vector<std::string> columns);
    void write(const Block& block);
    // Ends the table (JSON's closing bracket); the stream is the caller's to check.
    void finish();

private:
    void write_rows(const Block& block);

    std::ostream& out_;
    Format format_;
    std::vector<std::string> columns_;
    bool first_ = true;
};

}  // namespace vemlari::cli
